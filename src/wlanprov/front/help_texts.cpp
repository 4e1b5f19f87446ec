// The help dialog's constant texts. Blank runs line the descriptions up in the dialog's
// proportional font; the trailing blanks are part of the texts.
#include "help_texts.h"

const wchar_t kLicenceText[] =
    L"wlanprov licence agreement\r\n"
    L"\r\n"
    L"This program is provided to administrators for provisioning wireless network settings on computers that they manage. You may copy it and run it on any number of such computers.\r\n"
    L"\r\n"
    L"The program is provided \"as is\", without warranty of any kind, express or implied, including but not limited to the warranties of merchantability, fitness for a particular purpose and non-infringement. In no event shall the authors be liable for any claim, damages or other liability arising from the use of the program.\r\n"
    L"\r\n"
    L"By running this program you accept these terms.\r\n";

const wchar_t kUsageTextVista[] =
    L"SYNOPSIS: \r\n"
    L" wlanprov [-add | -delete | -help] /SSID:[SSID] ... ... \r\n"
    L"\r\n"
    L"DESCRIPTION: \r\n"
    L" /SSID:[SSID]                                                                                                Wireless Network name [1-32 characters]\r\n"
    L" /Authentication:[ open | shared | WPA | WPAPSK | WPA2 | WPA2PSK ]    Authentication method \r\n"
    L" /Encryption:[ WEP | none | AES | TKIP ]                                                       Encryption type \r\n"
    L" /NetworkKey:[ NetworkKey ]                                                                         Network key \r\n"
    L" /KeyIndex:[ 1 | 2 | 3 | 4 ]                                                                              Key index \r\n"
    L" /EAPType:[ PEAP | EAP-TLS ]                                                                        EAP method   \r\n"
    L" /InnerAuthentication:[ GTC | MSCHAPv2 ]                                                   Inner authentication method  \r\n"
    L" /UseWindowsLogonInfo:[ TRUE | FALSE ]                                                    Use Windows logon info \r\n"
    L" /EnableFastReconnect:[ TRUE | FALSE ]                                                      Enable fast reconnect  \r\n"
    L" /ValidateServerCert:[ TRUE | FALSE ]                                                          Validate server certificate \r\n"
    L" /TrustRootCA:[ TrustedRootCA ]                                                                 Trusted Root Certification Authorities \r\n"
    L" /DebugLog:[ TRUE | FALSE ]                                                                         Log file generated \r\n";

const wchar_t kUsageTextXp[] =
    L"SYNOPSIS: \r\n"
    L" wlanprov [-add | -delete | -help] /SSID:[SSID] ... ... \r\n"
    L"\r\n"
    L"DESCRIPTION: \r\n"
    L" /SSID:[SSID]                                                                                               Wireless Network name [1-32 characters]\r\n"
    L" /Authentication:[ Open | Shared | WPA | WPAPSK | WPA2 | WPA2PSK ]  Authentication method \r\n"
    L" /Encryption:[WEP | None | AES | TKIP]                                                       Encryption type \r\n"
    L" /NetworkKey:[NetworkKey]                                                                         Network key \r\n"
    L" /KeyIndex:[1 | 2 | 3 | 4]                                                                              Key index \r\n"
    L" /KeyProvidedAutomatically:[TRUE | FALSE]                                                Key automatically provided \r\n"
    L" /IEEE8021xEnabled:[TRUE | FALSE]                                                           IEEE802.1x enabled \r\n"
    L" /EAPType:[PEAP | EAP-TLS]                                                                        EAP method   \r\n"
    L" /MACHINE_AUTH:[TRUE | FALSE]                                                               Machine authentication \r\n"
    L" /GUEST_AUTH:[TRUE | FALSE]                                                                   Guest authentication   \r\n"
    L" /InnerAuthentication:[GTC | MSCHAPv2]                                                   Inner authentication method  \r\n"
    L" /UseWindowsLogonInfo:[TRUE | FALSE]                                                    Use Windows logon info \r\n"
    L" /EnableFastReconnect:[TRUE | FALSE]                                                      Enable fast reconnect  \r\n"
    L" /ValidateServerCert:[TRUE | FALSE]                                                          Validate server certificate \r\n"
    L" /TrustRootCA:[TrustedRootCA]                                                                 Trusted Root Certification Authorities \r\n"
    L" /DebugLog:[TRUE | FALSE]                                                                         Log file generated \r\n";

const wchar_t kExampleTextVista[] =
    L"wlanprov.exe -add /SSID:BRINMOR /Authentication:WPA /Encryption:TKIP /EAPType:PEAP /InnerAuthentication:MSCHAPv2 /EnableFastReconnect:TRUE \r\n"
    L"wlanprov.exe -delete /SSID:BRINMOR ";

const wchar_t kExampleTextXp[] =
    L"wlanprov.exe -add /SSID:BRINMOR /Authentication:WPA /Encryption:TKIP /KeyProvidedAutomatically:TRUE /IEEE8021xEnabled:TRUE /EAPType:PEAP /InnerAuthentication:MSCHAPv2 /EnableFastReconnect:TRUE \r\n"
    L"wlanprov.exe -delete /SSID:BRINMOR ";
