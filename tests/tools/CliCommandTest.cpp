#include "CliCommand.h"
#include "PeImageBuilder.h"
#include "ProgramVersion.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Outcome {
    int status;
    std::string out, err;
    bool operator==(const Outcome& other) const { return status == other.status && out == other.out && err == other.err; }
};
std::ostream& operator<<(std::ostream& stream, const Outcome& run)
{
    return stream << "status " << run.status << "\n--- out:\n" << run.out << "--- err:\n" << run.err;
}

std::string Slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A program run in `dir` with its input from `input`, as a script would run it; the tool's
// name in md5sum's messages is ours, so that the two can be compared byte for byte.
Outcome RunProgram(const CTempDir& dir, std::vector<std::string> argv, const std::string& input = "/dev/null")
{
    const bool isMd5sum = argv[0] == "md5sum";
    if (argv[0] == "cli")
        argv[0] = ZANFO_CLI_PROGRAM;
    const std::string out = dir.File(".out"), err = dir.File(".err");
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> args;
        for (std::string& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        const int in = open(input.c_str(), O_RDONLY), o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                  e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (chdir(dir.Path().c_str()) != 0 || dup2(in, 0) < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0)
            _exit(127);
        setenv("LC_ALL", "C.UTF-8", 1);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), Slurp(out), Slurp(err)};
    for (std::size_t at; isMd5sum && (at = run.err.find("md5sum: ")) != std::string::npos;)
        run.err.replace(at, 6, "zanfo-md5-cli");
    return run;
}

// Names a script may meet: blanks, a line feed, a backslash, a carriage return, quotes,
// Chinese, a leading dash, control characters, and no file at all.
struct HostileFolder {
    CTempDir dir;
    std::vector<std::string> names = {"plain", "a b", "line\nfeed", "back\\slash", "carriage\rreturn", "it's",
                                      "中文 名字.txt", "-dash", "esc\x1b[31m\x7f", "empty"};
    HostileFolder()
    {
        for (std::size_t i = 0; i + 1 < names.size(); ++i)
            WritePatternFile(dir.File(names[i]), 1000 * i + 1);
        WriteBytes(dir.File("empty"), {});
        mkdir(dir.File("folder").c_str(), 0700);
    }
};

TEST(Cli, OutputIsMd5sumsByteForByte)
{
    HostileFolder f;
    std::vector<std::string> all = {"--"};
    all.insert(all.end(), f.names.begin(), f.names.end());
    const std::vector<std::vector<std::string>> cases = {
        all, {"--", "missing", "folder", "plain", "no\nsuch", "/dev/null", "-dash"}, {}, {"-"}, {"plain", "-"},
    };
    const std::string input = f.dir.File("plain");
    for (const auto& args : cases) {
        std::vector<std::string> md5sum = {"md5sum"}, ours = {"cli", "--lower"};
        md5sum.insert(md5sum.end(), args.begin(), args.end());
        ours.insert(ours.end(), args.begin(), args.end());
        const Outcome expected = RunProgram(f.dir, md5sum, input);
        EXPECT_EQ(RunProgram(f.dir, ours, input), expected) << args.size() << " arguments";
        ours.insert(ours.begin() + 1, {"-j", "3"});
        EXPECT_EQ(RunProgram(f.dir, ours, input), expected) << args.size() << " arguments, -j 3";
    }
    // Upper-case digits, as the tool prints by default, pass md5sum's own check.
    all.insert(all.begin(), "cli");
    const std::string upper = RunProgram(f.dir, all).out;
    std::string lower = upper;
    for (std::size_t line = 0; line < lower.size(); line = lower.find('\n', line) + 1)
        for (std::size_t i = line + (lower[line] == '\\'); i < line + 33; ++i)
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(lower[i])));
    all[0] = "md5sum";
    EXPECT_EQ(lower, RunProgram(f.dir, all).out) << "md5sum's lines but for the case of the digits";
    EXPECT_EQ(upper.find_first_of("abcdef"), upper.find_first_of("abcdef", 33)) << "the first line's digits are upper case by default";
    std::ofstream(f.dir.File("list"), std::ios::binary) << upper;
    EXPECT_EQ(RunProgram(f.dir, {"md5sum", "--strict", "--quiet", "-c", "list"}), (Outcome{0, "", ""}));
}

TEST(Cli, CheckModeIsMd5sumsLineForLine)
{
    HostileFolder f;
    std::vector<std::string> args = {"md5sum", "--"};
    args.insert(args.end(), f.names.begin(), f.names.end());
    std::string list = RunProgram(f.dir, args).out;
    WritePatternFile(f.dir.File("plain"), 2);  // a mismatch from now on
    list += "0CC175B9C0F1B6A831C399E269772661 *it's\n"           // upper case, binary mark
            "MD5 (a b) = 93b885adfe0da089cdf634904fd59f71\n"     // BSD, a mismatch
            "\\MD5 (line\\nfeed) = 5eb4f8abd08a2b2bdd4a59b5a12d01d3\n"
            "# a comment\n\n"
            "d41d8cd98f00b204e9800998ecf8427e  empty\r\n"  // a line from Windows
            "d41d8cd98f00b204e9800998ecf8427e  missing\n"
            "d41d8cd98f00b204e9800998ecf8427e  folder\n"
            "not a checksum line\n"
            "\\d41d8cd98f00b204e9800998ecf8427e  bad\\escape\n";
    std::ofstream(f.dir.File("list"), std::ios::binary) << list;
    std::ofstream(f.dir.File("good"), std::ios::binary) << RunProgram(f.dir, {"md5sum", "empty", "it's"}).out << "junk\n";
    const std::vector<std::vector<std::string>> cases = {
        {"-c", "list"}, {"--check", "--quiet", "list"}, {"-c", "--status", "list"}, {"-c", "-w", "list"},
        {"-c", "--quiet", "--warn", "--status", "good"}, {"-c", "--strict", "good"}, {"-c", "good", "--ignore-missing"},
        {"-c", "--ignore-missing", "list"}, {"-c", "missing-list", "good"}, {"-c", "-", "--warn"}, {"-c", "folder"},
    };
    for (auto args : cases) {
        const Outcome expected = RunProgram(f.dir, [&] { auto m = args; m.insert(m.begin(), "md5sum"); return m; }(), f.dir.File("list"));
        args.insert(args.begin(), "cli");
        EXPECT_EQ(RunProgram(f.dir, args, f.dir.File("list")), expected) << args[2];
        args.insert(args.begin() + 1, "--jobs=2");
        EXPECT_EQ(RunProgram(f.dir, args, f.dir.File("list")), expected) << args[2] << ", --jobs=2";
    }
}

TEST(Cli, FailuresOfTheOutputAndOfTheCommandLine)
{
    HostileFolder f;
    const Outcome full = RunProgram(f.dir, {"cli", "plain", "it's"}, "/dev/null");
    EXPECT_EQ(full.status, 0);
    const std::string devFull = "exec " ZANFO_CLI_PROGRAM " plain > /dev/full";
    EXPECT_EQ(RunProgram(f.dir, {"sh", "-c", devFull}), (Outcome{1, "", "zanfo-md5-cli: write error: No space left on device\n"}));
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"cli", "--frobnicate"}, {"cli", "--quiet", "plain"}, {"cli", "-j", "0"}, {"cli", "-jx"}, {"cli", "--version-info"}}) {
        const Outcome run = RunProgram(f.dir, args);
        EXPECT_EQ(run.status, kCliUsageError) << args[1];
        EXPECT_NE(run.err.find("usage: zanfo-md5-cli"), std::string::npos) << args[1];
    }
    const Outcome help = RunProgram(f.dir, {"cli", "--help"});
    for (const char* option : {"--lower", "-j, --jobs", "-c, --check", "--ignore-missing", "--quiet", "--status", "--strict",
                               "-w, --warn", "--version-info", "--version", "--help", "--"})
        EXPECT_NE(help.out.find(std::string("  ") + option), std::string::npos) << option;
    EXPECT_EQ(RunProgram(f.dir, {"cli", "--version"}).out, std::string("zanfo-md5-cli ") + ZANFO_VERSION_DOTTED + "\n");

    // A folder on the way that may not be entered, or a file that may not be read.
    mkdir(f.dir.File("locked").c_str(), 0755);
    WriteBytes(f.dir.File("locked/file"), {'a'});
    chmod(f.dir.File("locked").c_str(), 0);
    chmod(f.dir.Path().c_str(), 0755);
    EXPECT_EQ(CheckedUnprivileged([&] {
                  std::ostringstream out, err;
                  return RunCli({f.dir.File("locked/file")}, out, err, false) == kCliFileFailed &&
                         err.str() == "zanfo-md5-cli: " + f.dir.File("locked/file") + ": Permission denied\n";
              }),
              std::optional<bool>(true));
}

TEST(Cli, ProgressOnlyOnATerminalForLargeFilesAndWithoutControlCharacters)
{
    CTempDir dir;
    const std::string large = dir.File("large\x1b]0;x\a"), small = dir.File("small");
    MakeSparseFile(large, 20 * 1048576);
    MakeSparseFile(small, 3 * 1048576);
    const auto progress = [](const std::vector<std::string>& args, bool terminal, bool ansi = true) {
        std::ostringstream out, err;
        RunCli(args, out, err, terminal, ansi);
        return err.str();
    };
    EXPECT_EQ(progress({large}, false), "");
    EXPECT_EQ(progress({small}, true), "");
    EXPECT_EQ(progress({"-j2", large, small}, true), "") << "no progress line for parallel runs";
    std::ofstream(dir.File("list")) << "00000000000000000000000000000000  " << large << "\n";
    EXPECT_NE(progress({"-c", dir.File("list")}, true).find(": 80%"), std::string::npos) << "checking shows it too";
    EXPECT_EQ(progress({"-c", "--status", dir.File("list")}, true), "") << "but not with --status";
    const std::string shown = progress({large}, true);
    EXPECT_NE(shown.find("'" + dir.File("large") + "'$'\\033'']0;x'$'\\a': 80%"), std::string::npos) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K") << "the line is wiped when the file is done";
    // A console without escape sequences: the line is blanked with spaces.
    const std::string plain = progress({large}, true, false);
    EXPECT_EQ(plain.find('\x1b'), std::string::npos) << "no escape sequence at all";
    const std::size_t percent = plain.rfind('%'), length = percent - plain.rfind('\r', percent);
    EXPECT_EQ(plain.substr(percent + 1), "\r" + std::string(length, ' ') + "\r");
}

TEST(Cli, VersionInfoPrintsFiveLinesThatCannotDriveTheTerminal)
{
    CTempDir dir;
    const std::string exe = dir.File("程序.exe"), text = dir.File("notes.txt");
    WriteBytes(exe, PeFileWithVersionStrings(u"two\nlines\r\ttab", u"赞佛\u0085\u009b", u"\x1b[2J\x7f", u"a\\b 1.0"));
    WriteBytes(text, {'h', 'i'});
    const auto run = [](const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = RunCli(args, out, err, false);
        return Outcome{status, out.str(), err.str()};
    };
    EXPECT_EQ(run({"--version-info", exe}),
              (Outcome{0, "result=1\ndescription=two\\nlines\\r\\ttab\ncompany=赞佛\\x85\\x9B\nproduct=\\x1B[2J\\x7F\nfileVersion=a\\\\b 1.0\n", ""}));
    const std::string none = "result=0\ndescription=\ncompany=\nproduct=\nfileVersion=\n";
    EXPECT_EQ(run({"--version-info", text}), (Outcome{0, none, ""}));
    EXPECT_EQ(run({"--version-info", dir.File("gone.exe")}),
              (Outcome{1, none, "zanfo-md5-cli: " + dir.File("gone.exe") + ": No such file or directory\n"}));
}

}  // namespace
