// The option grammar with every handler's descriptor over any argument vector (arguments split
// at zero bytes, the first byte picks the handler), with the Win32 conversion stood in by
// fuzz/shim. Checks: 0 with no line, or 13 with exactly one line that starts with the handler's
// name; after 0, the SSID, network key and trusted-root names hold exactly the values of their last
// (for CAs: every) argument, terminated within their fields; the echo prints whole lines under the
// handler's name (values may carry line ends of their own).
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "option_grammar.h"
#include "vista_grammar.h"
#include "xpsp1_grammar.h"
#include "xpsp2_grammar.h"

long g_bDebugLog;
long g_bVista;

namespace {

// The add handlers first, then the removal handlers.
const HandlerGrammar* const kGrammars[] = {&kVistaAddGrammar,    &kXpSp2AddGrammar,
                                           &kXpSp1AddGrammar,    &kVistaRemoveGrammar,
                                           &kXpSp2RemoveGrammar, &kXpSp1RemoveGrammar};

// A failed check names its line.
#define Check(condition)                                                                           \
    ((condition) ? (void)0 : (fprintf(stderr, "check failed: line %d\n", __LINE__), abort()))

bool Starts(const std::string& text, const char* prefix)
{
    return text.compare(0, strlen(prefix), prefix) == 0;
}

// The value widened as the shim's code page does: one byte, one character.
bool SameWide(const wchar_t* stored, const std::string& value, size_t capacity,
              bool blanksForUnderscores)
{
    if (value.size() >= capacity || stored[value.size()] != 0)
        return false;
    for (size_t i = 0; i < value.size(); ++i) {
        wchar_t expected = (unsigned char)value[i];
        if (blanksForUnderscores && expected == L'_')
            expected = L' ';
        if (stored[i] != expected)
            return false;
    }
    return true;
}

// Runs routine with the standard output caught; returns what it printed.
template <typename Routine>
std::string Printed(Routine routine)
{
    char* text = nullptr;
    size_t size = 0;
    FILE* saved = stdout;
    stdout = open_memstream(&text, &size);
    routine();
    fclose(stdout);
    stdout = saved;
    std::string printed(text, size);
    free(text);
    return printed;
}

} // namespace

// The echo's wide text (%ls) printed in full, as the platform's runtime prints it in its code page.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setlocale(LC_ALL, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    unsigned kind = data[0] % 6;
    const HandlerGrammar* grammar = kGrammars[kind];
    bool add = kind < 3;
    std::vector<std::string> arguments = {"wlanprov.exe", add ? "-add" : "-delete"};
    std::string current;
    for (size_t i = 1; i < size && arguments.size() < 64; ++i) {
        if (data[i] == 0) {
            arguments.push_back(current);
            current.clear();
        } else {
            current += (char)data[i];
        }
    }
    arguments.push_back(current);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);

    OptionSet options;
    memset(&options, 0xA5, sizeof(options));
    DWORD result = 0xdeadbeef;
    std::string printed = Printed(
        [&] { result = ParseOptions((int)arguments.size(), argv.data(), grammar, &options); });
    std::string name = std::string(grammar->name) + " :: ";
    if (result != 0) {
        Check(result == 13 && Starts(printed, name.c_str()));
        Check(printed.find('\n') == printed.size() - 1);
        return 0;
    }
    Check(printed.empty());

    std::string ssid, key;
    std::vector<std::string> cas;
    for (size_t i = 2; i < arguments.size(); ++i) {
        if (Starts(arguments[i], "/SSID:"))
            ssid = arguments[i].substr(6);
        else if (add && Starts(arguments[i], "/NetworkKey:"))
            key = arguments[i].substr(12);
        else if (add && Starts(arguments[i], "/TrustRootCA:"))
            cas.push_back(arguments[i].substr(13));
    }
    Check(ssid == std::string(options.ssid, strnlen(options.ssid, sizeof(options.ssid))) &&
          memchr(options.ssid, 0, sizeof(options.ssid)));
    Check(SameWide(options.networkKey, key, MAX_NETWORK_KEY + 1, false));
    Check(options.trustRootCaCount == (LONG)cas.size());
    for (size_t i = 0; i < cas.size(); ++i)
        Check(SameWide(options.trustRootCa[i], cas[i], MAX_CA_NAME + 1, true));
    for (const wchar_t* text :
         {options.authentication, options.encryption, options.eapType, options.innerMethod})
        Check(wcsnlen(text, MAX_SHORT_TEXT + 1) <= MAX_SHORT_TEXT);

    printed = Printed([&] { EchoOptions(&options, grammar); });
    Check(Starts(printed, name.c_str()) && printed.back() == '\n');
    return 0;
}
