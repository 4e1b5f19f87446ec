#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globals.h"
#include "options.h"
#include "test_support.h"

namespace {

struct Parsed {
    DWORD result;
    std::string output;
    OptionSet options;
};

Parsed Parse(HandlerKind kind, std::vector<std::string> options)
{
    std::vector<std::string> args = {"wlanprov.exe", "-add"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    Parsed parsed;
    memset(&parsed.options, 0xde, sizeof(parsed.options));
    StdoutCapture capture;
    parsed.result = ParseOptions((int)argv.size(), argv.data(), kind, &parsed.options);
    parsed.output = capture.Text();
    return parsed;
}

TEST(OptionGrammar, AcceptsSsidAndAuthentication)
{
    g_bDebugLog = 0;
    Parsed p = Parse(HANDLER_ADD_VISTA, {"/SSID:Office", "/Authentication:WPA2"});
    EXPECT_EQ(0u, p.result);
    EXPECT_EQ("", p.output);
    EXPECT_STREQ("Office", p.options.ssid);
    EXPECT_STREQ(L"WPA2", p.options.authentication);
    EXPECT_STREQ(L"true", p.options.useOneX);
}

} // namespace
