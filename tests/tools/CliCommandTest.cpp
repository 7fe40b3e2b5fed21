#include "tools/cli/CliCommand.h"
#include "res/ProgramVersion.h"
#include "tests/support/PeImageBuilder.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Args = std::vector<std::string>;

struct Outcome {
    int status;
    std::string out, err;
    bool operator==(const Outcome& other) const { return std::tie(status, out, err) == std::tie(other.status, other.out, other.err); }
};
std::ostream& operator<<(std::ostream& stream, const Outcome& run)
{
    return stream << "status " << run.status << "\n--- out:\n" << run.out << "--- err:\n" << run.err;
}

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A program ("cli" is ours) run in `dir` as a script runs it, its input from `input`, its output
// to `output`. md5sum's messages get our name, so that the two compare byte for byte.
Outcome RunProgram(const CTempDir& dir, const Args& argv, const std::string& input = "/dev/null", const std::string& output = ".out")
{
    std::string command = "cd " + Quoted(dir.Path()) + " && LC_ALL=C.UTF-8 exec";
    for (const std::string& arg : argv)
        command += " " + Quoted(arg == "cli" ? ZANFO_CLI_PROGRAM : arg);
    const int status = std::system((command + " <" + Quoted(input) + " >" + output + " 2>.err").c_str());
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadFile(dir.File(".out")), ReadFile(dir.File(".err"))};
    for (std::size_t at; argv[0] == "md5sum" && (at = run.err.find("md5sum: ")) != std::string::npos;)
        run.err.replace(at, 6, "zanfo-md5-cli");
    return run;
}

Args Joined(Args head, const Args& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// What RunCli writes: the status, its output and its errors.
Outcome InProcess(const Args& args, bool terminal = false, bool ansi = true)
{
    std::ostringstream out, err;
    const int status = RunCli(args, out, err, terminal, ansi);
    return Outcome{status, out.str(), err.str()};
}

// Names a script may meet: blanks, a line feed, a backslash, a carriage return, quotes, Chinese,
// a leading dash, control characters, and no file at all.
struct HostileFolder {
    CTempDir dir;
    Args names = {"plain", "a b",           "line\nfeed", "back\\slash",     "carriage\rreturn",
                  "it's",  "中文 名字.txt", "-dash",      "esc\x1b[31m\x7f", "empty"};
    HostileFolder()
    {
        for (std::size_t i = 0; i < names.size(); ++i)
            WritePatternFile(dir.File(names[i]), i + 1 < names.size() ? 1000 * i + 1 : 0);
        mkdir(dir.File("folder").c_str(), 0700);
        EXPECT_EQ(symlink("loop", dir.File("loop").c_str()), 0);
    }
};

// With --lower, md5sum's output byte for byte, jobs or none; by default upper-case digits that
// md5sum's own check accepts.
TEST(Cli, OutputIsMd5sumsByteForByte)
{
    HostileFolder f;
    const Args all = Joined({"--"}, f.names);
    Args moreThanLanes = {"--"};  // more files than a thread has lanes, so that lanes come free and fill again
    for (int round = 0; round < 5; ++round)
        moreThanLanes = Joined(moreThanLanes, f.names);
    const std::string input = f.dir.File("plain");
    // Around the companion's read size, so that files take several reads side by side.
    for (const std::size_t size : {131071, 131072 * 2, 131072 * 2 + 7, 131072 * 5 + 100})
        WritePatternFile(f.dir.File("big-" + std::to_string(size)), size);
    const std::pair<const char*, Args> rows[] = {
        {"hostile-names", all},
        {"failures-among-files",
         {"--", "missing", "folder", "plain", "no\nsuch", "\xC2\xA9 missing", "/dev/null", "-dash", "loop", "plain/x"}},
        {"name-too-long", {std::string(300, 'n'), "plain"}},
        // Quoted as md5sum quotes them: invalid UTF-8 by the one rule, code points that do not print.
        {"unprintable-names", {"\u2028", "\xEF\xBF\xBF", "\xF4\x8F\xBF\xBF", "\xCD\xB8", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80"}},
        {"no-name-is-stdin", {}},
        {"dash-is-stdin", {"-"}},
        {"file-then-stdin", {"plain", "-"}},
        {"files-of-several-reads", {"big-131071", "big-262144", "plain", "big-262151", "empty", "big-655460"}},
        {"more-files-than-lanes", moreThanLanes},
    };
    for (const auto& [name, args] : rows) {
        const Outcome expected = RunProgram(f.dir, Joined({"md5sum"}, args), input);
        EXPECT_EQ(RunProgram(f.dir, Joined({"cli", "--lower"}, args), input), expected) << name;
        EXPECT_EQ(RunProgram(f.dir, Joined({"cli", "--lower", "-j", "3"}, args), input), expected) << name << ", -j 3";
    }
#ifndef ZANFO_SANITIZED  // the sanitizers' shadow memory needs far more address space
    // Under address-space limits (below 12 MiB the loader itself gives up): md5sum's output, or
    // failures told (a file that could not be read, memory exhausted), never an abort. Where no
    // second thread's stack fits (12 MiB), the files are hashed in turn.
    const Outcome expected = RunProgram(f.dir, Joined({"md5sum"}, moreThanLanes), input);
    for (int mib = 12; mib <= 40; mib += 4) {
        const Outcome run =
            RunProgram(f.dir, Joined({"prlimit", "--as=" + std::to_string(mib << 20), "cli", "--lower", "-j", "2"}, moreThanLanes), input);
        const bool told = run.status == kCliFileFailed && (run.err.find("memory exhausted") != std::string::npos ||
                                                           run.err.find("Cannot allocate memory") != std::string::npos);
        EXPECT_TRUE(run == expected || (mib > 12 && told)) << mib << " MiB\n" << run;
    }
#endif
    const std::string upper = RunProgram(f.dir, Joined({"cli"}, all)).out;
    EXPECT_EQ(upper.rfind("93B885ADFE0DA089CDF634904FD59F71  plain\n", 0), 0u) << upper;
    std::ofstream(f.dir.File("list"), std::ios::binary) << upper;
    EXPECT_EQ(RunProgram(f.dir, {"md5sum", "--strict", "--quiet", "-c", "list"}), (Outcome{0, "", ""}));
}

TEST(Cli, CheckModeIsMd5sumsLineForLine)
{
    HostileFolder f;
    std::string list = RunProgram(f.dir, Joined({"md5sum", "--"}, f.names)).out;
    WritePatternFile(f.dir.File("plain"), 2);                 // a mismatch from now on
    list += "0CC175B9C0F1B6A831C399E269772661 *it's\n"        // upper case, binary mark
            "MD5 (a b) = 93b885adfe0da089cdf634904fd59f71\n"  // BSD, a mismatch
            "\\MD5 (line\\nfeed) = 5eb4f8abd08a2b2bdd4a59b5a12d01d3\n"
            "# a comment\n\n"
            "d41d8cd98f00b204e9800998ecf8427e  empty\r\n"  // a line from Windows
            "d41d8cd98f00b204e9800998ecf8427e  missing\n"
            "d41d8cd98f00b204e9800998ecf8427e  folder\n"
            "d41d8cd98f00b204e9800998ecf8427e  loop\n"  // no missing file: --ignore-missing names it
            "d41d8cd98f00b204e9800998ecf8427e  plain/x\n"
            "not a checksum line\n"
            "\\d41d8cd98f00b204e9800998ecf8427e  bad\\escape\n";
    std::ofstream(f.dir.File("list"), std::ios::binary) << list;
    std::ofstream(f.dir.File("good"), std::ios::binary) << RunProgram(f.dir, {"md5sum", "empty", "it's"}).out << "junk\n";
    // The first well-formed line decides the layout: after BSD's reversed one a second blank is
    // part of the name, and a broken line (31 digits, a tab at its end) decides nothing. In a CRLF
    // list a line of only its CR is blank; a NUL ends a line's text.
    const std::string e = "d41d8cd98f00b204e9800998ecf8427e";
    std::string longList;  // more lines than the workers produce at once and than their window holds
    for (int copy = 0; copy < 60; ++copy)
        longList += list;
    const std::pair<const char*, std::string> lists[] = {
        {"long", longList},
        {"mixed", e + " empty\n" + e + "  empty\n"},
        {"broken-first", e.substr(1) + "  empty\n" + e + "\t\n" + e + "  empty\n"},
        {"crlf", e + "  empty\r\n\r\n"},
        {"nul", e + std::string("  empty\0junk\n\0\n", 15)},
    };
    for (const auto& [name, text] : lists)
        std::ofstream(f.dir.File(name), std::ios::binary) << text;
    const std::pair<const char*, Args> rows[] = {
        {"check", {"-c", "list"}},
        {"check-quiet", {"--check", "--quiet", "list"}},
        {"check-more-lines-than-the-window", {"-c", "long"}},
        {"check-status", {"-c", "--status", "list"}},
        {"check-warn", {"-c", "-w", "list"}},
        {"check-last-of-quiet-warn-status", {"-c", "--quiet", "--warn", "--status", "good"}},
        {"check-strict", {"-c", "--strict", "good"}},
        {"check-ignore-missing-after-the-list", {"-c", "good", "--ignore-missing"}},
        {"check-ignore-missing", {"-c", "--ignore-missing", "list"}},
        {"check-missing-list", {"-c", "missing-list", "good"}},
        {"check-stdin-warn", {"-c", "-", "--warn"}},
        {"check-folder-as-list", {"-c", "folder"}},
        {"check-first-line-decides-layout", {"-c", "mixed"}},
        {"check-broken-lines-decide-no-layout", {"-c", "-w", "broken-first"}},
        {"check-crlf-blank-lines", {"-c", "--strict", "-w", "crlf"}},
        {"check-nul-ends-a-line", {"-c", "-w", "nul"}},
    };
    for (const auto& [name, args] : rows) {
        const Outcome expected = RunProgram(f.dir, Joined({"md5sum"}, args), f.dir.File("list"));
        EXPECT_EQ(RunProgram(f.dir, Joined({"cli"}, args), f.dir.File("list")), expected) << name;
        EXPECT_EQ(RunProgram(f.dir, Joined({"cli", "--jobs=2"}, args), f.dir.File("list")), expected) << name << ", --jobs=2";
    }
}

TEST(Cli, FailuresOfTheOutputAndOfTheCommandLine)
{
    HostileFolder f;
    // Output past one buffer: the first write fails mid-run, and its reason is the one told.
    EXPECT_EQ(RunProgram(f.dir, Joined({"cli"}, Args(2000, "plain")), "/dev/null", "/dev/full"),
              (Outcome{1, "", "zanfo-md5-cli: write error: No space left on device\n"}));
    const std::pair<const char*, Args> usageErrors[] = {
        {"unknown-option", {"--frobnicate"}}, {"quiet-without-check", {"--quiet", "plain"}},     {"zero-jobs", {"-j", "0"}},
        {"jobs-not-a-number", {"-jx"}},       {"version-info-without-file", {"--version-info"}},
    };
    for (const auto& [name, args] : usageErrors) {
        const Outcome run = InProcess(args);
        EXPECT_TRUE(run.status == kCliUsageError && run.err.find("usage: zanfo-md5-cli") != std::string::npos) << name << "\n" << run;
    }
    EXPECT_EQ(InProcess({"--version"}).out, std::string("zanfo-md5-cli ") + ZANFO_VERSION_DOTTED + "\n");
    // A folder on the way that may not be entered, or a file that may not be read.
    mkdir(f.dir.File("locked").c_str(), 0755);
    WriteBytes(f.dir.File("locked/file"), {'a'});
    chmod(f.dir.File("locked").c_str(), 0);
    chmod(f.dir.Path().c_str(), 0755);
    const Outcome denied{kCliFileFailed, "", "zanfo-md5-cli: " + f.dir.File("locked/file") + ": Permission denied\n"};
    EXPECT_EQ(CheckedUnprivileged([&] { return InProcess({f.dir.File("locked/file")}) == denied; }), std::optional<bool>(true));
}

TEST(Cli, ProgressOnlyOnATerminalForLargeFilesAndWithoutControlCharacters)
{
    CTempDir dir;
    const std::string large = dir.File("large\x1b]0;x\a"), small = dir.File("small");
    MakeSparseFile(large, 20 * 1048576);
    MakeSparseFile(small, 3 * 1048576);
    EXPECT_EQ(InProcess({large}).err + InProcess({small}, true).err + InProcess({"-j2", large, small}, true).err, "")
        << "nor for parallel runs";
    const std::string shown = InProcess({large}, true).err;
    EXPECT_NE(shown.find("'" + dir.File("large") + "'$'\\033'']0;x'$'\\a': 80%"), std::string::npos) << shown;
    EXPECT_EQ(shown.find(": 75%"), std::string::npos) << "from the 16th mebibyte on";
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K") << "the line is wiped when the file is done";
    EXPECT_EQ(InProcess({large}, true, false).err.find('\x1b'), std::string::npos) << "a console without escape sequences";
}

TEST(Cli, VersionInfoPrintsFiveLinesThatCannotDriveTheTerminal)
{
    CTempDir dir;
    const std::string exe = dir.File("程序.exe"), text = dir.File("notes.txt"),
                      none = "result=0\ndescription=\ncompany=\nproduct=\nfileVersion=\n";
    WriteBytes(exe, PeFileWithVersionStrings(u"two\nlines\r\ttab", u"赞佛\u0085\u009b", u"\x1b[2J\x7f\u2028",
                                             u"a\\b 1.0 \U0001F600" + std::u16string(1, char16_t(0xD800))));
    WriteBytes(text, {'h', 'i'});
    EXPECT_EQ(
        InProcess({"--version-info", exe}),
        (Outcome{
            0,
            "result=1\ndescription=two\\nlines\\r\\ttab\ncompany=赞佛\\x85\\x9B\nproduct=\\x1B[2J\\x7F\\xE2\\x80\\xA8\nfileVersion=a\\\\b 1.0 \xF0\x9F\x98\x80\xEF\xBF\xBD\n",
            ""}));
    EXPECT_EQ(InProcess({"--version-info", text}), (Outcome{0, none, ""}));
    EXPECT_EQ(InProcess({"--version-info", dir.File("gone.exe")}),
              (Outcome{1, none, "zanfo-md5-cli: " + dir.File("gone.exe") + ": No such file or directory\n"}));
}

}  // namespace
