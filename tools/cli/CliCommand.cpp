#include "tools/cli/CliCommand.h"

#include "platform/FileAccess.h"
#include "res/ProgramVersion.h"
#include "tools/cli/CliProgressEngine.h"
#include "tools/cli/ListReader.h"
#include "tools/cli/Md5sumText.h"
#include "tools/cli/OrderedHasher.h"
#include "version/VersionStrings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <thread>

namespace {

constexpr const char* kProgramName = "zanfo-md5-cli";
constexpr const char* kUsage = "usage: zanfo-md5-cli [--lower] [-j N] [FILE]...\n"
                               "       zanfo-md5-cli -c [--quiet|--status|--warn] [--strict] [--ignore-missing] [-j N] [LIST]...\n"
                               "       zanfo-md5-cli --version-info FILE";

struct Options {
    bool upperCase = true;
    bool check = false;
    bool quiet = false, status = false, warn = false;  // the last of the three given wins
    bool strict = false, ignoreMissing = false;
    unsigned jobs = 1;
    bool ansi = true;
    std::vector<std::string> names;
};

void PrintHelp(std::ostream& out)
{
    out << kUsage << "\n\n"
        << "Prints the MD5 digest of each FILE as md5sum does: 32 hex digits (upper case unless\n"
        << "--lower), two spaces and the name, one line per file; names holding a backslash, a\n"
        << "line feed or a carriage return are escaped and their line starts with a backslash.\n"
        << "With no FILE, or where FILE is -, standard input is read. A file that cannot be\n"
        << "hashed is reported on stderr and the others are still hashed.\n\n"
        << "  --lower            print the digits in lower case\n"
        << "  -j, --jobs N       hash up to N files at a time (without N: one per processor);\n"
        << "                     the output stays in the order of the arguments\n"
        << "  -c, --check        read digests from each LIST (md5sum's formats, BSD's\n"
        << "                     'MD5 (name) = digest' too) and check the files they name\n"
        << "  --ignore-missing   with -c: say nothing of listed files that do not exist\n"
        << "  --quiet            with -c: do not print OK for each file that matches\n"
        << "  --status           with -c: print nothing; the exit status tells\n"
        << "  --strict           with -c: fail on improperly formatted lines\n"
        << "  -w, --warn         with -c: warn about each improperly formatted line\n"
        << "  --version-info FILE\n"
        << "                     print the version strings of a Windows executable instead, as\n"
        << "                     five lines: result, description, company, product, fileVersion;\n"
        << "                     control characters and backslashes are escaped (\\\\, \\n, \\xNN)\n"
        << "  --                 end of options: every later argument is a name\n"
        << "  --help             show this text\n"
        << "  --version          show the program's version\n\n"
        << "Exit status: 0 when every file was hashed (with -c: every listed file matched),\n"
        << "1 when one was not or output could not be written, 2 on bad usage.\n";
}

int UsageError(std::ostream& err, const std::string& message)
{
    err << kProgramName << ": " << message << '\n' << kUsage << '\n';
    return kCliUsageError;
}

void Complain(std::ostream& err, const std::string& name, const std::string& reason)
{
    err << kProgramName << ": " << md5sum::QuoteForTerminal(name) << ": " << reason << '\n';
}

// A name as the start of an output line, with md5sum's leading backslash when escaped. A
// check's result line, as md5sum writes it, is escaped only for a line feed.
std::string LineName(const std::string& name, std::string& prefix, bool onlyForLineFeed = false)
{
    bool escaped = false;
    std::string text = md5sum::EscapeName(name, escaped);
    if (onlyForLineFeed && name.find('\n') == std::string::npos) {
        escaped = false;
        text = name;
    }
    prefix = escaped ? "\\" : "";
    return text;
}

int PrintVersionInfo(const std::string& path, std::ostream& out, std::ostream& err)
{
    std::string description, company, product, fileVersion;
    const int result = ReadVersionStrings(path, description, company, product, fileVersion);
    out << "result=" << result << "\ndescription=" << md5sum::EscapeControls(description) << "\ncompany=" << md5sum::EscapeControls(company)
        << "\nproduct=" << md5sum::EscapeControls(product) << "\nfileVersion=" << md5sum::EscapeControls(fileVersion) << '\n';
    const int error = zanfo::PathError(path);
    if (error == 0)
        return kCliSuccess;
    Complain(err, path, zanfo::ErrorText(error));
    return kCliFileFailed;
}

int Generate(const Options& options, std::ostream& out, std::ostream& err, bool errIsTerminal)
{
    CCliProgressEngine engine(err, options.ansi);
    int status = kCliSuccess;
    const bool progress = errIsTerminal && options.jobs == 1;
    std::size_t next = 0;
    COrderedHasher<std::size_t>::Run(
        {options.jobs, options.upperCase, progress, options.names.size() == 1}, engine,
        [&](std::size_t& item) { return next < options.names.size() && (item = next++, true); },
        [&](std::size_t item) { return &options.names[item]; },
        [&](std::size_t item, const FileOutcome& outcome) {
            if (outcome.digest.empty()) {
                Complain(err, options.names[item], outcome.reason);
                status = kCliFileFailed;
                return;
            }
            std::string prefix;
            const std::string name = LineName(options.names[item], prefix);
            out << prefix << outcome.digest << "  " << name << '\n';
        });
    return status;
}

// Checks one list as md5sum -c does; true when it passes.
bool CheckList(const std::string& listName, const Options& options, std::ostream& out, std::ostream& err, bool errIsTerminal)
{
    const bool fromStdin = listName == "-";
    const zanfo::OpenedFile opened = fromStdin ? zanfo::OpenedFile{zanfo::BinaryStandardInput()} : zanfo::OpenForReading(listName);
    if (!opened.stream) {
        Complain(err, listName, zanfo::ErrorText(opened.error));
        return false;
    }
    // Closed with the function, however it ends; standard input stays open.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(fromStdin ? nullptr : opened.stream, &std::fclose);
    const std::string shownList = fromStdin ? "standard input" : listName;
    CListReader reader(opened.stream, fromStdin);

    std::size_t wellFormed = 0, misformatted = 0, unreadable = 0, mismatched = 0;
    bool verified = false;
    CCliProgressEngine engine(err, options.ansi);
    const bool progress = errIsTerminal && options.jobs == 1 && !options.status;
    COrderedHasher<CListReader::Line>::Run(
        {options.jobs, false, progress}, engine, [&](CListReader::Line& line) { return reader.Next(line); },
        [&](const CListReader::Line& line) { return line.file ? &line.file->name : nullptr; },
        [&](const CListReader::Line& line, const FileOutcome& outcome) {
            if (!line.file) {
                ++misformatted;
                if (options.warn)
                    err << kProgramName << ": " << md5sum::QuoteForTerminal(shownList) << ": " << line.number
                        << ": improperly formatted MD5 checksum line\n";
                return;
            }
            ++wellFormed;
            // The name is escaped only for a line that is printed: --quiet prints few.
            const auto result = [&](const char* text) {
                std::string prefix;
                const std::string name = LineName(line.file->name, prefix, true);
                out << prefix << name << text;
            };
            if (outcome.digest.empty()) {
                if (options.ignoreMissing && outcome.missing)
                    return;
                Complain(err, line.file->name, outcome.reason);
                ++unreadable;
                if (!options.status)
                    result(": FAILED open or read\n");
                return;
            }
            // The listed digits in either case against ours, which are lower case.
            const std::string& listed = line.file->digest;
            const bool match = std::equal(listed.begin(), listed.end(), outcome.digest.begin(), outcome.digest.end(),
                                          [](char a, char b) { return (a >= 'A' && a <= 'F' ? a + ('a' - 'A') : a) == b; });
            verified = verified || match;
            mismatched += match ? 0 : 1;
            if (!options.status && !(match && options.quiet))
                result(match ? ": OK\n" : ": FAILED\n");
        });

    // As md5sum: a list that could not be read to its end says so, and no more.
    if (reader.ReadFailed()) {
        Complain(err, listName, "read error");
        return false;
    }
    const auto warning = [&](std::size_t count, const char* one, const char* many) {
        if (count != 0)
            err << kProgramName << ": WARNING: " << count << ' ' << (count == 1 ? one : many) << '\n';
    };
    if (wellFormed == 0) {
        err << kProgramName << ": " << md5sum::QuoteForTerminal(shownList) << ": no properly formatted checksum lines found\n";
    } else if (!options.status) {
        warning(misformatted, "line is improperly formatted", "lines are improperly formatted");
        warning(unreadable, "listed file could not be read", "listed files could not be read");
        warning(mismatched, "computed checksum did NOT match", "computed checksums did NOT match");
        if (options.ignoreMissing && !verified)
            err << kProgramName << ": " << md5sum::QuoteForTerminal(shownList) << ": no file was verified\n";
    }
    return wellFormed != 0 && mismatched == 0 && unreadable == 0 && !(options.strict && misformatted != 0) &&
           !(options.ignoreMissing && !verified);
}

// The number after -j, or nullopt when `text` is none.
std::optional<unsigned> JobCount(const std::string& text)
{
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return static_cast<unsigned>(std::stoul(text));
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal, bool ansi)
{
    Options options;
    options.ansi = ansi;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            options.names.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--lower") {
            options.upperCase = false;
        } else if (arg == "-c" || arg == "--check") {
            options.check = true;
        } else if (arg == "--quiet" || arg == "--status" || arg == "-w" || arg == "--warn") {
            options.quiet = arg == "--quiet";
            options.status = arg == "--status";
            options.warn = !options.quiet && !options.status;
        } else if (arg == "--strict") {
            options.strict = true;
        } else if (arg == "--ignore-missing") {
            options.ignoreMissing = true;
        } else if (arg == "-j" || arg == "--jobs" || arg.rfind("-j", 0) == 0 || arg.rfind("--jobs=", 0) == 0) {
            const std::string attached = arg.rfind("--jobs=", 0) == 0 ? arg.substr(7) : arg.rfind("--", 0) == 0 ? "" : arg.substr(2);
            std::optional<unsigned> jobs = JobCount(attached);
            if (!jobs && attached.empty() && i + 1 < args.size() && (jobs = JobCount(args[i + 1])))
                ++i;
            if (!attached.empty() && !jobs)
                return UsageError(err, "invalid number of jobs '" + md5sum::EscapeControls(attached) + "'");
            options.jobs = jobs ? *jobs : std::max(1u, std::thread::hardware_concurrency());
            if (options.jobs == 0)
                return UsageError(err, "invalid number of jobs '0'");
        } else if (arg == "--help") {
            PrintHelp(out);
            return kCliSuccess;
        } else if (arg == "--version-info") {
            if (args.size() != 2 || args[0] != arg)
                return UsageError(err, "--version-info takes one FILE and nothing else");
            return PrintVersionInfo(args[1], out, err);
        } else if (arg == "--version") {
            out << kProgramName << ' ' << ZANFO_VERSION_DOTTED << '\n';
            return kCliSuccess;
        } else {
            return UsageError(err, "unknown option '" + md5sum::EscapeControls(arg) + "'");
        }
    }
    if (!options.check && (options.quiet || options.status || options.warn || options.strict || options.ignoreMissing))
        return UsageError(err, "--quiet, --status, --strict, --warn and --ignore-missing are meaningful only with --check");
    if (options.names.empty())
        options.names.push_back("-");
    // A name read more than once at a time from standard input would be read by two threads.
    for (const std::string& name : options.names)
        if (name == "-" && !options.check)
            options.jobs = 1;

    int status = kCliSuccess;
    try {
        if (options.check) {
            for (const std::string& list : options.names)
                if (!CheckList(list, options, out, err, errIsTerminal))
                    status = kCliFileFailed;
        } else {
            status = Generate(options, out, err, errIsTerminal);
        }
    } catch (const std::bad_alloc&) {
        err << kProgramName << ": memory exhausted\n";  // md5sum's words
        return kCliFileFailed;
    }
    // The stream's own sync even after a failure, which then tells the first one's errno again.
    errno = 0;
    if (out.rdbuf()->pubsync() != 0 || !out) {
        err << kProgramName << ": write error: " << zanfo::ErrorText(errno != 0 ? errno : EIO) << '\n';
        return kCliFileFailed;
    }
    return status;
}
