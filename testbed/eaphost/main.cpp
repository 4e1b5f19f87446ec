// eaphost: plays the platform's EAP host with a method plug-in DLL, against a built-in GTC
// server or an external authenticator on standard input and output. Exit code: the
// authentication's result (0 success, 691 refused, 703 interaction needed, 1223 cancelled...),
// 87 for a bad command line.
#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "authenticator_link.h"
#include "dialog_automation.h"
#include "hex_text.h"
#include "host_log.h"
#include "host_options.h"
#include "host_session.h"
#include "plugin_binding.h"
#include "text_convert.h"
#include "user_data_store.h"

namespace {

DWORD ShowSaved(const HostOptions& options, const std::wstring& user)
{
    std::vector<BYTE> data;
    DWORD status = LoadUserData(user, options.eapType, &data);
    if (status == ERROR_FILE_NOT_FOUND) {
        HostLog("eaphost :: nothing saved for \"%s\"", ToUtf8(user).c_str());
        return status;
    }
    if (status == ERROR_SUCCESS)
        printf("%s\n", BytesToHex(data.data(), data.size()).c_str());
    return status;
}

DWORD Authenticate(const HostOptions& options, const std::wstring& user)
{
    PluginBinding plugin = {};
    AuthenticatorLink link;
    DialogAutomation automation = {};
    HANDLE terminal = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE console = INVALID_HANDLE_VALUE;
    std::wstring path = options.pluginPath;
    DWORD result = ERROR_SUCCESS;
    if (options.registered) {
        result = RegisteredPluginPath(options.eapType, &path);
        HostLog("eaphost :: registered plug-in for type %lu: \"%s\" (status %lu)", options.eapType,
                ToUtf8(path).c_str(), result);
        if (result != ERROR_SUCCESS)
            goto done;
    }
    // The plug-in looks for its companion beside itself only: another folder is another copy.
    if (!options.dllDirectory.empty())
        path = options.dllDirectory + L"\\" + path.substr(path.find_last_of(L"\\/") + 1);
    result = BindPlugin(path.c_str(), options.eapType, &plugin);
    if (result != ERROR_SUCCESS)
        goto done;
    result = plugin.info.RasEapInitialize(TRUE);
    HostLog("eaphost :: RasEapInitialize(TRUE) returned %lu", result);
    if (result != ERROR_SUCCESS)
        goto done;
    if (options.stream) {
        // Standard input carries packets: the person answers dialogs on the console.
        console = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
        terminal = console;
        OpenStreamLink(&link, stdin, stdout);
    } else {
        OpenServerLink(&link, options.script);
    }
    if (!StartDialogAutomation(&automation, options.answers, options.relay, terminal)) {
        result = GetLastError();
        HostLog("eaphost :: cannot start the dialog automation (error %lu)", result);
    } else {
        result = RunAuthentication(options, user, &plugin, &link);
        StopDialogAutomation(&automation);
    }
    HostLog("eaphost :: RasEapInitialize(FALSE) returned %lu", plugin.info.RasEapInitialize(FALSE));
done:
    if (console != INVALID_HANDLE_VALUE)
        CloseHandle(console);
    UnbindPlugin(&plugin);
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    HostOptions options;
    std::string error;
    if (!ParseHostOptions(argc, argv, &options, &error)) {
        fprintf(stderr, "eaphost: %s\n%s", error.c_str(), kHostUsage);
        return ERROR_INVALID_PARAMETER;
    }
    if (options.command == kCommandHelp) {
        printf("%s", kHostUsage);
        return 0;
    }
    if (options.stream) {
        // Packets are lines ending in LF alone, whatever the platform's text mode would add.
        _setmode(_fileno(stdin), _O_BINARY);
        _setmode(_fileno(stdout), _O_BINARY);
        SetHostLogStream(stderr);
    }
    std::wstring user = options.user.empty() ? CurrentAccountName() : options.user;
    if (options.command == kCommandShowSaved)
        return static_cast<int>(ShowSaved(options, user));
    if (options.forgetFirst) {
        DWORD status = EraseUserData(user, options.eapType);
        HostLog("eaphost :: erased the saved user data of \"%s\" (status %lu)",
                ToUtf8(user).c_str(), status);
        if (options.command == kCommandForget || status != ERROR_SUCCESS)
            return static_cast<int>(status);
    }
    return static_cast<int>(Authenticate(options, user));
}
