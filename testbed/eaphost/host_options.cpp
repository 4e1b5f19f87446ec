#include "host_options.h"

#include <raseapif.h>

#include <cwchar>

#include "text_convert.h"

const char kHostUsage[] =
    "usage: eaphost PLUGIN.dll [options]       one authentication through the plug-in\n"
    "       eaphost --registered [options]      the same with the registered plug-in\n"
    "       eaphost --forget [--user NAME]      erase the user's saved data\n"
    "       eaphost --show-saved [--user NAME]  print the user's saved data as hex\n"
    "host:    --user NAME  --forget  --non-interactive  --retry-interactive  --flags N\n"
    "         --identity TEXT [--password TEXT] (no RasEapGetIdentity)  --type N\n"
    "         --send-size BYTES  --dll-dir DIR (load the plug-in's file from DIR, beside\n"
    "         the companion library there)\n"
    "server:  --round PROMPT ANSWER (repeatable)  --no-identity-request  --first-id N\n"
    "         --mismatch fail|continue  --outcome answers|failure\n"
    "         --stream (packets as hex lines on stdin/stdout; log on stderr)\n"
    "dialogs: --fill ID=TEXT ... --press ok|cancel (one group per dialog, in order)\n"
    "         --relay (show dialogs without an answer on the terminal, also when it is not\n"
    "         a console; on a console they are relayed anyway)\n";

namespace {

bool ParseNumber(const wchar_t* text, DWORD maximum, DWORD* out)
{
    if (!text || !*text)
        return false;
    wchar_t* end = nullptr;
    unsigned long value = wcstoul(text, &end, 0);
    if (*end || value > maximum)
        return false;
    *out = value;
    return true;
}

Bytes AsBytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

} // namespace

bool ParseHostOptions(int argc, const wchar_t* const* argv, HostOptions* options,
                      std::string* error)
{
    HostOptions parsed;
    DialogAnswer pending = {{}, IDOK};
    bool fillsPending = false;
    bool forget = false, showSaved = false;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        const wchar_t* value = i + 1 < argc ? argv[i + 1] : nullptr;
        DWORD number = 0;
        auto needValue = [&](int count) {
            if (i + count >= argc) {
                *error = ToUtf8(arg) + " needs " + (count == 1 ? "a value" : "two values");
                return false;
            }
            i += count;
            return true;
        };
        if (arg == L"--help" || arg == L"-h") {
            parsed.command = kCommandHelp;
        } else if (arg == L"--user") {
            if (!needValue(1))
                return false;
            parsed.user = value;
        } else if (arg == L"--forget") {
            forget = true;
        } else if (arg == L"--show-saved") {
            showSaved = true;
        } else if (arg == L"--non-interactive") {
            parsed.flags |= RAS_EAP_FLAG_NON_INTERACTIVE;
        } else if (arg == L"--retry-interactive") {
            parsed.retryInteractive = true;
        } else if (arg == L"--flags" || arg == L"--type" || arg == L"--send-size" ||
                   arg == L"--first-id") {
            if (!needValue(1))
                return false;
            DWORD maximum = arg == L"--first-id"    ? 255
                            : arg == L"--send-size" ? 0x100000
                                                    : 0xFFFFFFFF;
            if (!ParseNumber(value, maximum, &number)) {
                *error = ToUtf8(arg) + ": bad number \"" + ToUtf8(value) + "\"";
                return false;
            }
            if (arg == L"--flags")
                parsed.flags |= number;
            else if (arg == L"--type")
                parsed.eapType = number;
            else if (arg == L"--send-size")
                parsed.sendSize = number;
            else
                parsed.script.firstId = static_cast<uint8_t>(number);
        } else if (arg == L"--identity") {
            if (!needValue(1))
                return false;
            parsed.identityGiven = true;
            parsed.identity = value;
        } else if (arg == L"--password") {
            if (!needValue(1))
                return false;
            parsed.password = value;
        } else if (arg == L"--registered") {
            parsed.registered = true;
        } else if (arg == L"--dll-dir") {
            if (!needValue(1))
                return false;
            parsed.dllDirectory = value;
        } else if (arg == L"--stream") {
            parsed.stream = true;
        } else if (arg == L"--round") {
            if (!needValue(2))
                return false;
            parsed.script.rounds.push_back(
                GtcRound{AsBytes(ToUtf8(argv[i - 1])), AsBytes(ToAnsi(argv[i]))});
        } else if (arg == L"--no-identity-request") {
            parsed.script.askIdentity = false;
        } else if (arg == L"--mismatch" || arg == L"--outcome") {
            if (!needValue(1))
                return false;
            std::wstring word = value;
            if (arg == L"--mismatch" && (word == L"fail" || word == L"continue"))
                parsed.script.mismatch = word == L"fail" ? kMismatchFails : kMismatchContinues;
            else if (arg == L"--outcome" && (word == L"answers" || word == L"failure"))
                parsed.script.outcome = word == L"answers" ? kOutcomeByAnswers
                                                           : kOutcomeAlwaysFailure;
            else {
                *error = ToUtf8(arg) + ": unknown value \"" + ToUtf8(word) + "\"";
                return false;
            }
        } else if (arg == L"--fill") {
            if (!needValue(1))
                return false;
            wchar_t* end = nullptr;
            unsigned long id = wcstoul(value, &end, 10);
            if (end == value || *end != L'=' || id > 0xFFFF) {
                *error = "--fill: expected ID=TEXT, got \"" + ToUtf8(value) + "\"";
                return false;
            }
            pending.fields.emplace_back(static_cast<int>(id), std::wstring(end + 1));
            fillsPending = true;
        } else if (arg == L"--press") {
            if (!needValue(1))
                return false;
            std::wstring word = value;
            if (word != L"ok" && word != L"cancel") {
                *error = "--press: expected ok or cancel, got \"" + ToUtf8(word) + "\"";
                return false;
            }
            pending.button = word == L"ok" ? IDOK : IDCANCEL;
            parsed.answers.push_back(pending);
            pending = DialogAnswer{{}, IDOK};
            fillsPending = false;
        } else if (arg == L"--relay") {
            parsed.relay = true;
        } else if (arg.size() > 1 && arg[0] == L'-') {
            *error = "unknown option " + ToUtf8(arg);
            return false;
        } else if (parsed.pluginPath.empty()) {
            parsed.pluginPath = arg;
        } else {
            *error = "more than one plug-in given: " + ToUtf8(arg);
            return false;
        }
    }
    if (fillsPending) {
        *error = "--fill without a following --press";
        return false;
    }
    if (parsed.eapType > 0xFF) {
        *error = "--type: EAP types go up to 255";
        return false;
    }
    parsed.script.methodType = static_cast<uint8_t>(parsed.eapType);
    bool pluginNamed = !parsed.pluginPath.empty() || parsed.registered;
    if (parsed.registered && !parsed.pluginPath.empty()) {
        *error = "--registered and a plug-in file given";
        return false;
    }
    if (parsed.command != kCommandHelp) {
        if (showSaved)
            parsed.command = kCommandShowSaved;
        else if (forget && !pluginNamed)
            parsed.command = kCommandForget;
        else if (!pluginNamed) {
            *error = "no plug-in given";
            return false;
        }
        parsed.forgetFirst = forget;
    }
    *options = parsed;
    return true;
}
