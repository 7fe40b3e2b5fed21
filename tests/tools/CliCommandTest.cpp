#include "CliCommand.h"
#include "PeImageBuilder.h"
#include "ProgramVersion.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

CliRun RunTool(const std::vector<std::string>& args, bool errIsTerminal = false)
{
    std::ostringstream out, err;
    const int status = RunCli(args, out, err, errIsTerminal);
    return {status, out.str(), err.str()};
}

TEST(Cli, PrintsOneMd5sumStyleLinePerFile)
{
    CTempDir dir;
    const std::string abc = dir.File("abc");
    const std::string chinese = dir.File("中文 名字.txt");
    WriteBytes(abc, {'a', 'b', 'c'});
    WriteBytes(chinese, {'a'});

    const CliRun upper = RunTool({abc, chinese});
    EXPECT_EQ(upper.status, kCliSuccess);
    EXPECT_EQ(upper.out, "900150983CD24FB0D6963F7D28E17F72  " + abc + "\n0CC175B9C0F1B6A831C399E269772661  " + chinese + "\n");
    EXPECT_EQ(upper.err, "");

    const CliRun lower = RunTool({"--lower", abc});
    EXPECT_EQ(lower.out, "900150983cd24fb0d6963f7d28e17f72  " + abc + "\n");
}

TEST(Cli, ReportsEachBadFileAndHashesTheRest)
{
    CTempDir dir;
    const std::string empty = dir.File("empty");
    const std::string good = dir.File("good");
    WriteBytes(empty, {});
    WriteBytes(good, {'a'});

    const CliRun run = RunTool({dir.File("missing"), empty, dir.Path(), good});
    EXPECT_EQ(run.status, kCliFileFailed);
    EXPECT_EQ(run.out, "0CC175B9C0F1B6A831C399E269772661  " + good + "\n");
    EXPECT_EQ(run.err, "zanfo-md5-cli: " + dir.File("missing") + ": no such file\n"
                       "zanfo-md5-cli: " + empty + ": empty file\n"
                       "zanfo-md5-cli: " + dir.Path() + ": not a regular file\n");
}

TEST(Cli, OptionsAndUsage)
{
    EXPECT_EQ(RunTool({"--version"}).out, std::string("zanfo-md5-cli ") + ZANFO_VERSION_DOTTED + "\n");
    const CliRun help = RunTool({"--help"});
    EXPECT_EQ(help.status, kCliSuccess);
    EXPECT_NE(help.out.find("--lower"), std::string::npos);

    const CliRun unknown = RunTool({"--frobnicate", "x"});
    EXPECT_EQ(unknown.status, kCliUsageError);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("usage: zanfo-md5-cli"), std::string::npos);
    EXPECT_EQ(RunTool({}).status, kCliUsageError);

    // After "--" a name that starts with a dash is a file.
    const CliRun dashed = RunTool({"--", "--lower"});
    EXPECT_EQ(dashed.status, kCliFileFailed);
    EXPECT_EQ(dashed.err, "zanfo-md5-cli: --lower: no such file\n");
}

TEST(Cli, ProgressOnlyOnATerminalAndOnlyForLargeFiles)
{
    CTempDir dir;
    const std::string large = dir.File("large");
    const std::string small = dir.File("small");
    MakeSparseFile(large, 20 * 1048576);
    MakeSparseFile(small, 3 * 1048576);

    EXPECT_EQ(RunTool({large}).err, "") << "no progress when stderr is not a terminal";
    EXPECT_EQ(RunTool({small}, true).err, "");
    const std::string progress = RunTool({large}, true).err;
    EXPECT_NE(progress.find(large + ": 80%"), std::string::npos) << progress;
    EXPECT_EQ(progress.substr(progress.size() - 4), "\r\x1b[K") << "the line is wiped when the file is done";
}

TEST(Cli, VersionInfoPrintsFiveLinesWhateverTheResult)
{
    CTempDir dir;
    const std::string exe = dir.File("程序.exe");
    WriteBytes(exe, PeFileWithVersionStrings(u"two\nlines\r", u"赞佛", u" padded ", u"1, 1, 0, 0beta"));
    const CliRun pe = RunTool({"--version-info", exe});
    EXPECT_EQ(pe.status, kCliSuccess);
    EXPECT_EQ(pe.out, "result=1\ndescription=two\\nlines\\r\ncompany=赞佛\nproduct= padded \nfileVersion=1, 1, 0, 0beta\n");

    const std::string text = dir.File("notes.txt");
    WriteBytes(text, {'h', 'i'});
    const CliRun plain = RunTool({"--version-info", text});
    EXPECT_EQ(plain.status, kCliSuccess);
    EXPECT_EQ(plain.out, "result=0\ndescription=\ncompany=\nproduct=\nfileVersion=\n");

    const CliRun missing = RunTool({"--version-info", dir.File("gone.exe")});
    EXPECT_EQ(missing.status, kCliFileFailed);
    EXPECT_EQ(missing.out, plain.out);

    EXPECT_EQ(RunTool({"--version-info"}).status, kCliUsageError);
    EXPECT_EQ(RunTool({"--version-info", exe, text}).status, kCliUsageError);
}

}  // namespace
