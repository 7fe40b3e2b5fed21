#include "CliCommand.h"

#include "CliProgressEngine.h"
#include "FileAccess.h"
#include "ProgramVersion.h"
#include "VersionStrings.h"

namespace {

constexpr const char* kProgramName = "zanfo-md5-cli";
constexpr const char* kUsage = "usage: zanfo-md5-cli [--lower] FILE... | --version-info FILE";

const char* Reason(HashFailure failure)
{
    switch (failure) {
    case HashFailure::NotFound:
        return "no such file";
    case HashFailure::NotRegularFile:
        return "not a regular file";
    case HashFailure::PermissionDenied:
        return "permission denied";
    case HashFailure::OpenFailed:
        return "cannot be opened";
    case HashFailure::Empty:
        return "empty file";
    case HashFailure::ReadError:
        return "read error";
    case HashFailure::Changed:
        return "changed while reading";
    case HashFailure::Stopped:
        return "stopped";
    case HashFailure::Unexpected:
    case HashFailure::None:
        break;
    }
    return "out of memory or system resources";
}

// Keeps each value on its own line: line breaks inside it are shown as \n and \r.
std::string OneLine(const std::string& value)
{
    std::string line;
    for (const char c : value) {
        if (c == '\n')
            line += "\\n";
        else if (c == '\r')
            line += "\\r";
        else
            line += c;
    }
    return line;
}

int PrintVersionInfo(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::string description, company, product, fileVersion;
    const int result = ReadVersionStrings(path, description, company, product, fileVersion);
    out << "result=" << result << "\ndescription=" << OneLine(description) << "\ncompany=" << OneLine(company)
        << "\nproduct=" << OneLine(product) << "\nfileVersion=" << OneLine(fileVersion) << '\n';
    if (zanfo::PathExists(path))
        return kCliSuccess;
    err << kProgramName << ": " << path << ": no such file\n";
    return kCliFileFailed;
}

void PrintHelp(std::ostream& out)
{
    out << kUsage << "\n\n"
        << "Prints the MD5 digest of each FILE as 32 upper-case hex digits, two spaces and the\n"
        << "path, one line per file. A file that cannot be hashed is reported on stderr and the\n"
        << "others are still hashed.\n\n"
        << "  --lower     print the digits in lower case\n"
        << "  --version-info FILE\n"
        << "              print the version strings of a Windows executable instead, as five\n"
        << "              lines: result, description, company, product, fileVersion\n"
        << "  --help      show this text\n"
        << "  --version   show the program's version\n\n"
        << "Exit status: 0 when every file was hashed, 1 when one could not be, 2 on bad usage.\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal)
{
    bool upperCase = true;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--lower") {
            upperCase = false;
        } else if (arg == "--help") {
            PrintHelp(out);
            return kCliSuccess;
        } else if (arg == "--version-info") {
            if (args.size() != 2 || args[0] != arg) {
                err << kUsage << '\n';
                return kCliUsageError;
            }
            return PrintVersionInfo(args[1], out, err);
        } else if (arg == "--version") {
            out << kProgramName << ' ' << ZANFO_VERSION_DOTTED << '\n';
            return kCliSuccess;
        } else {
            err << kProgramName << ": unknown option '" << arg << "'\n" << kUsage << '\n';
            return kCliUsageError;
        }
    }
    if (files.empty()) {
        err << kUsage << '\n';
        return kCliUsageError;
    }

    CCliProgressEngine engine(err);
    int status = kCliSuccess;
    for (const std::string& file : files) {
        engine.BeginFile(errIsTerminal ? file : std::string());
        const std::string digest = engine.HashFile(file, upperCase);
        engine.EndFile();
        if (digest.empty()) {
            err << kProgramName << ": " << file << ": " << Reason(engine.LastFailure()) << '\n';
            status = kCliFileFailed;
        } else {
            out << digest << "  " << file << '\n';
        }
    }
    return status;
}
