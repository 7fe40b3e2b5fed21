#include "tools/cli/CliCommand.h"

#include <string>
#include <vector>

#ifdef _WIN32
#include "tools/cli/ConsoleStream.h"
#include "platform/WideText.h"

#include <cerrno>
#include <ostream>

#include <shellapi.h>
#include <windows.h>
#else
#include <iostream>

#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
// The arguments as UTF-8, whatever the ANSI code page: paths with Chinese names must survive.
std::vector<std::string> Utf8Arguments()
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(zanfo::Narrow(wide[i]));
    LocalFree(wide);
    return args;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    (void)argc;
    (void)argv;
    CConsoleStream outBuffer(STD_OUTPUT_HANDLE), errBuffer(STD_ERROR_HANDLE);
    std::ostream out(&outBuffer), err(&errBuffer);
    // A classic console without escape sequences gets its progress line blanked with spaces.
    const bool ansi = errBuffer.EnableEscapeSequences();
    const int status = RunCli(Utf8Arguments(), out, err, errBuffer.IsConsole(), ansi);
    err.flush();
    return status;
#else
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return RunCli(args, std::cout, std::cerr, isatty(2) != 0);
#endif
}
