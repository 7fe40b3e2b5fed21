#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses of zanfo-md5-cli.
enum CliExitStatus {
    kCliSuccess = 0,
    kCliFileFailed = 1,
    kCliUsageError = 2,
};

// Runs zanfo-md5-cli with the arguments after the program name. Progress lines go to err only
// when errIsTerminal is set; `ansi` tells whether that terminal understands escape sequences.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal, bool ansi = true);
