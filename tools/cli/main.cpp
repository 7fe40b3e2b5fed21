#include "CliCommand.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define ZANFO_ISATTY _isatty
#else
#include <unistd.h>
#define ZANFO_ISATTY isatty
#endif

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return RunCli(args, std::cout, std::cerr, ZANFO_ISATTY(2) != 0);
}
