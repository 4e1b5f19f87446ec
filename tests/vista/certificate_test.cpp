// Trusted-root lookups. Wine builds the machine's ROOT store once per process, so the
// certificates that a test adds are looked up by wlanprov.exe run as a new process.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "certificate.h"
#include "test_support.h"
#include "testbed_state.h"
#include "vista_test_support.h"

namespace {

const char kNotFound[] =
    "GetCertificate :: Error looking for the certificate in the system store.\n";

TEST(TrustedRoots, NameNotFoundLeavesTheOutputsAlone)
{
    for (const wchar_t* name : {L"No Such Wlanprov Root", L"usertrust rsa certification authority",
                                L"USERTrust_RSA_Certification_Authority"}) {
        SCOPED_TRACE(WideToUtf8(name));
        BYTE thumbprint[CERT_THUMBPRINT_BYTES];
        memset(thumbprint, 0xde, sizeof(thumbprint));
        DWORD length = 0xdeadbeef;
        StdoutCapture capture;
        EXPECT_EQ(1011u, GetCertificate(name, thumbprint, &length));
        EXPECT_EQ(kNotFound, capture.Text());
        EXPECT_EQ(0xdeadbeefu, length);
        for (BYTE b : thumbprint)
            ASSERT_EQ(0xde, b);
    }
    ReleaseCertificateStore();
}

std::string EntryHex(const TrustedRoot& root)
{
    return "14000000" + root.ThumbprintHex();
}

ProcessResult RunAddWithRoots(const std::wstring& roots)
{
    return RunProcess(L"\"" + MachineDir() +
                          L"\\platforms\\vista\\wlanprov.exe\" -add /SSID:Corp "
                          L"/Authentication:WPA2 /Encryption:AES /EAPType:EAP-TLS "
                          L"/ValidateServerCert:TRUE " +
                          roots,
                      L"WLANPROV_TESTBED_STATE=vista_end_to_end_test_roots");
}

class TrustedRootsInProfiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTrustedRoots(L"Wlanprov E2E");
        SetEnvironmentVariableW(L"WLANPROV_TESTBED_STATE", L"vista_end_to_end_test_roots");
        ASSERT_EQ(0, ResetTestbedState(Interfaces(1)));
    }
    std::wstring StoredBlob()
    {
        std::vector<TestbedProfile> profiles;
        EXPECT_EQ(0, ReadTestbedProfiles(0, &profiles));
        if (profiles.size() != 1)
            return L"";
        const std::wstring& d = profiles[0].document;
        size_t start = d.find(L"<ConfigBlob>") + 12;
        return d.substr(start, d.find(L"</ConfigBlob>") - start);
    }
};

TEST_F(TrustedRootsInProfiles, ThumbprintsGoIntoTheRecordInCaOrder)
{
    TrustedRoot spaced(L"Wlanprov E2E Root CA");
    TrustedRoot twinA(L"Wlanprov E2E Twin");
    TrustedRoot twinB(L"Wlanprov E2E Twin");
    const TrustedRoot& firstTwin = ComesFirstInRootStore(twinA, twinB) ? twinA : twinB;
    TrustedRoot third(L"Wlanprov E2E Third");
    ProcessResult run = RunAddWithRoots(L"/TrustRootCA:Wlanprov_E2E_Twin "
                                        L"/TrustRootCA:Wlanprov_E2E_Root_CA "
                                        L"/TrustRootCA:Wlanprov_E2E_Third");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_NE(std::string::npos,
              run.output.find(
                  "WZC_Vista :: input parameter: TrustRootCA[0] : Wlanprov E2E Twin\n"
                  "WZC_Vista :: input parameter: TrustRootCA[1] : Wlanprov E2E Root CA\n"
                  "WZC_Vista :: input parameter: TrustRootCA[2] : Wlanprov E2E Third\n"));
    std::string blob = "020000005A00000015000000" + EntryHex(firstTwin) +
                       "0000"
                       "03000000" +
                       EntryHex(spaced) + EntryHex(third);
    EXPECT_EQ(blob, WideToUtf8(StoredBlob()));
}

TEST_F(TrustedRootsInProfiles, UnknownRootStopsBeforeAnythingIsWritten)
{
    TrustedRoot known(L"Wlanprov E2E Known");
    ProcessResult run = RunAddWithRoots(L"/TrustRootCA:Wlanprov_E2E_Known "
                                        L"/TrustRootCA:wlanprov_e2e_known");
    EXPECT_EQ(13u, run.exitCode);
    EXPECT_NE(std::string::npos,
              run.output.find("main :: Windows Vista\n" + std::string(kNotFound) +
                              "WZC_Vista :: Error looking for the certificate [wlanprov e2e known] "
                              "in the sytem store.\n"));
    EXPECT_EQ(std::string::npos, run.output.find("input parameter"));
    std::vector<TestbedProfile> profiles;
    EXPECT_EQ(0, ReadTestbedProfiles(0, &profiles));
    EXPECT_TRUE(profiles.empty());
}

} // namespace
