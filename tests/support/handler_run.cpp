#include "handler_run.h"

#include "globals.h"
#include "test_support.h"

HandlerRun RunHandler(DWORD (*handler)(int, char**), const char* command,
                      const std::vector<std::string>& options)
{
    std::vector<std::string> args = {"wlanprov.exe", command};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    g_bDebugLog = 0;
    StdoutCapture capture;
    HandlerRun run;
    run.result = handler((int)argv.size(), argv.data());
    run.output = capture.Text();
    return run;
}
