// Every WLAN API call of each Vista handler, and each call of Wine's own that an 802.1X add
// makes, made to fail once, at each position of a representative run: the code and lines,
// what is stored, handles, blocks and heap after it.
#include <gtest/gtest.h>

#include "fault_sweep.h"
#include "test_support.h"
#include "vista_test_support.h"

namespace {

const wchar_t kMachine[] = L"vista_fault_sweep";

struct SweepRow {
    const wchar_t* call;
    int position;
    DWORD code;
    DWORD result;
    std::string lines; // after the echo
    bool storedOn[2];
    DWORD handlesLeft; // a close the platform refused leaves its handle open
};

std::vector<std::wstring> CallsOf(const std::vector<SweepRow>& rows)
{
    std::vector<std::wstring> calls;
    for (const SweepRow& row : rows)
        if (calls.empty() || calls.back() != row.call)
            calls.push_back(row.call);
    return calls;
}

// Runs the sweep: the table must name every position of the representative run, in order.
void Sweep(const std::vector<SweepRow>& rows, const std::function<void()>& prepare,
           const std::function<HandlerRun()>& run)
{
    SweepFaults faults(SetTestbedNthCallFault, CountedTestbedCalls, ClearTestbedFaults);
    prepare();
    std::vector<SweepPoint> points = faults.Points(CallsOf(rows), [&] { run(); });
    ASSERT_TRUE(NamesEveryPosition(points, rows));
    for (const SweepRow& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << std::string(row.call, row.call + wcslen(row.call)) << " #" << row.position);
        DWORD handles = OpenWlanHandles();
        auto injected = [&] {
            HandlerRun outcome = faults.RunFaulted(row.call, row.position, row.code, prepare, run);
            EXPECT_EQ(row.result, outcome.result);
            EXPECT_EQ(row.lines, AfterEcho(outcome.output));
        };
        // A handle the platform kept open keeps its entry in the emulated API: run once then.
        if (row.handlesLeft == 0) {
            EXPECT_TRUE(HeapSteadyOver(injected));
        } else {
            injected();
        }
        EXPECT_EQ(handles + row.handlesLeft, OpenWlanHandles());
        EXPECT_EQ(0u, LiveWlanBlocks());
        for (int adapter = 0; adapter < 2; ++adapter)
            EXPECT_EQ(row.storedOn[adapter] ? 1u : 0u, ReadBackProfiles(adapter).size())
                << "interface " << adapter;
    }
}

const std::string kVersion = "The WLAN API version is 2.0\n";

TEST(VistaFaultSweep, AddWithTheSecondInterfaceRefusingTheDocument)
{
    const std::string ok = "WZC_Vista :: WlanSetProfile succeeded\n";
    const std::string failed5 =
        "WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [5]\n";
    const std::string refused =
        "WZC_Vista :: ERROR!! WlanSetProfile failed and returned code [1206]\n"
        "WZC_Vista :: The specified profile is not valid\n";
    const std::string reason = "WZC_Vista :: Reason : An unknown error occurred.\n";
    const std::vector<SweepRow> rows = {
        {L"WlanOpenHandle", 1, 5, 5, "", {false, false}, 0},
        {L"WlanEnumInterfaces", 1, 8, 8, kVersion, {false, false}, 0},
        {L"WlanSetProfile", 1, 5, 1206, kVersion + failed5 + refused + reason, {false, false}, 0},
        {L"WlanSetProfile", 2, 5, 5, kVersion + ok + failed5, {true, false}, 0},
        {L"WlanReasonCodeToString",
         1,
         87,
         1206,
         kVersion + ok + refused + "WZC_Vista :: Reason code: 65537\n",
         {true, false},
         0},
        {L"WlanCloseHandle", 1, 6, 1206, kVersion + ok + refused + reason, {true, false}, 1},
    };
    Sweep(
        rows,
        [] {
            UseMachine(kMachine, Interfaces(2));
            ASSERT_EQ(0, SetTestbedFault(L"WlanSetProfile", 1, 1206));
        },
        [] {
            return RunAdd({"/SSID:Office", "/Authentication:WPA2PSK", "/Encryption:AES",
                           "/NetworkKey:secret12"});
        });
}

// The binding of the WLAN API and the trusted root's lookup (a root of the host's bundle).
TEST(VistaFaultSweep, PeapAddWithATrustedRoot)
{
    const std::string root =
        "WZC_Vista :: Error looking for the certificate [USERTrust RSA Certification "
        "Authority] in the sytem store.\n";
    const std::vector<SweepRow> rows = {
        {L"LoadLibraryExW", 1, 126, 126, "", {false, false}, 0},
        {L"CertOpenStore",
         1,
         2,
         13,
         "GetCertificate :: Error opening system store.\n" + root,
         {false, false},
         0},
        {L"CertGetCertificateContextProperty",
         1,
         5,
         13,
         "GetCertificate :: Error getting certificate property.\n" + root,
         {false, false},
         0},
        {L"CertGetCertificateContextProperty",
         2,
         5,
         13,
         "GetCertificate :: Error retrieving certificate HASH.\n" + root,
         {false, false},
         0},
    };
    Sweep(
        rows, [] { UseMachine(kMachine, Interfaces(2)); },
        [] {
            return RunAdd({"/SSID:Office", "/Authentication:WPA2", "/Encryption:AES",
                           "/EAPType:PEAP", "/InnerAuthentication:MSCHAPv2",
                           "/ValidateServerCert:TRUE",
                           "/TrustRootCA:USERTrust_RSA_Certification_Authority"});
        });
}

// A profile saved to a file, of an SSID outside ASCII: its UTF-8 bytes, the document's UTF-8
// text and the file, each failing without a last error (0). No failure leaves a file or
// reports success.
TEST(VistaFaultSweep, SaveProfileOfANonAsciiSsid)
{
    const std::string path = WideToAnsi(MachineDir()) + "\\sweep-profile.xml";
    const std::string failed = "WZC_Vista :: ERROR!! the profile could not be written to " + path;
    const std::vector<SweepRow> rows = {
        {L"WideCharToMultiByte", 1, 0, 13, "WZC_Vista :: [SSID] : invalid input\n", {}, 0},
        {L"WideCharToMultiByte", 2, 0, 1113, "", {}, 0},
        {L"WideCharToMultiByte", 3, 0, 1113, failed + ": 1113\n", {}, 0},
        {L"WideCharToMultiByte", 4, 0, 1113, failed + ": 1113\n", {}, 0},
        {L"CreateFileW", 1, 0, 110, failed + ": 110\n", {}, 0},
        {L"CreateFileW", 2, 0, 0, "", {}, 0}, // the output capture's own read: nothing read
        {L"WriteFile", 1, 0, 29, failed + ": 29\n", {}, 0},
    };
    Sweep(
        rows, [&] { UseMachine(kMachine, Interfaces(2)); },
        [&] {
            DeleteFileA(path.c_str());
            HandlerRun run = RunAdd({"/SSID:Caf\xe9", "/Authentication:WPA2PSK", "/Encryption:AES",
                                     "/NetworkKey:secret12", "/SaveProfile:" + path});
            EXPECT_EQ(run.result == 0, GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES);
            return run;
        });
}

TEST(VistaFaultSweep, DeleteFromBothInterfaces)
{
    const std::string deleted = "WZCRemoveProfile_Vista :: the profile is deleted successfully\n";
    const std::string failed =
        "WZCRemoveProfile_Vista :: ERROR!! profile removal failed and return error [5]\n";
    const std::vector<SweepRow> rows = {
        {L"WlanOpenHandle", 1, 1062, 1062, "", {true, true}, 0},
        {L"WlanEnumInterfaces", 1, 8, 8, kVersion, {true, true}, 0},
        {L"WlanDeleteProfile", 1, 5, 5, kVersion + failed + deleted, {true, false}, 0},
        {L"WlanDeleteProfile", 2, 5, 5, kVersion + deleted + failed, {false, true}, 0},
        {L"WlanCloseHandle", 1, 6, 0, kVersion + deleted + deleted, {false, false}, 1},
    };
    Sweep(
        rows,
        [] {
            UseMachine(kMachine, Interfaces(2));
            for (int i = 0; i < 2; ++i)
                ASSERT_EQ(0, WriteTestbedProfile(i, L"Office", L"<stored/>"));
        },
        [] { return RunDelete({"/SSID:Office"}); });
}

} // namespace
