#include "controls/UrlLauncher.h"
#include "platform/Shell.h"
#include "tests/support/XdgSandbox.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>

namespace {

using Args = std::vector<std::string>;
constexpr const char* kUrl = "http://www.zanfo.com/";

// A default browser whose Exec is `exec`.
void Handler(CXdgSandbox& sandbox, const std::string& exec)
{
    sandbox.Write("config-home/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=browser.desktop\n");
    sandbox.Write("data-dir/applications/browser.desktop", "[Desktop Entry]\nExec=" + exec + "\n");
}

// xdg-open first, run with nothing on its input and waited for briefly: its success (or still
// running) is the answer, and a handler that cannot start is never tried; its failure without a
// handler gives the shell's code. An ignored SIGCHLD, inherited from whoever started us, must
// not hide its exit status.
TEST(UrlLauncher, TheShellsAnswerWhenNoHandlerTakesOver)
{
    const std::pair<std::string, int> cases[] = {
        {"exit 0", 42},
        {"exit 1", 27},
        {"exit 2", 2},
        {"exit 3", 31},
        {"exit 4", 27},
        {"cat; exit 0", 42},
        {"exec sleep 5 >/dev/null 2>&1", 42},  // still running after the wait; must not hold our output open
        {"", 31},                              // no xdg-open at all: a folder of that name is no program
    };
    for (const auto disposition : {SIG_DFL, SIG_IGN}) {
        std::signal(SIGCHLD, disposition);
        SCOPED_TRACE(disposition == SIG_IGN ? "SIGCHLD ignored" : "SIGCHLD default");
        for (const auto& [body, code] : cases) {
            CXdgSandbox sandbox;
            if (body.empty())
                std::filesystem::create_directories(sandbox.File("bin/xdg-open"));
            else
                sandbox.RecordingScript("xdg-open", sandbox.File("args"), body);
            if (code == 42)
                Handler(sandbox, "/nonexistent/browser %u");
            const int result = CUrlLauncher::OpenUrl(kUrl, zanfo::kShow);
            EXPECT_EQ(result > 32 ? 42 : result, code) << body;
            EXPECT_TRUE(body.empty() || WaitForRecord(sandbox.File("args")) == std::optional<Args>({kUrl})) << body;
        }
    }
    std::signal(SIGCHLD, SIG_DFL);
}

TEST(UrlLauncher, WhatIsNoUrlIsRefusedBeforeAnythingStarts)
{
    CXdgSandbox sandbox;
    const std::string record = sandbox.File("args");
    sandbox.RecordingScript("xdg-open", record);
    for (const std::string url : {"--help", "", "www.zanfo.com", "1http://x/", "http//x/", "-x:y", "ht tp://x/"}) {
        EXPECT_EQ(CUrlLauncher::OpenUrl(url, zanfo::kShow), 2) << url;
        EXPECT_EQ(CUrlLauncher::ShellOpen(url, zanfo::kShowNormal), 2) << url;
    }
    EXPECT_FALSE(std::filesystem::exists(record));
    EXPECT_GT(CUrlLauncher::ShellOpen("x-my.scheme+1:rest", zanfo::kShowNormal), 32);
    EXPECT_EQ(WaitForRecord(record), std::optional<Args>({"x-my.scheme+1:rest"}));
}

TEST(UrlLauncher, CommandLineIsCutAtThePlaceholder)
{
    const std::string url = "http://h/?q=1";
    const std::pair<std::string, std::string> cases[] = {
        {"browser --new \"%u\"", "browser --new  " + url},  // quoted: cut at the quote, two blanks remain
        {"browser %u --after", "browser  " + url},          // unquoted: cut at the percent sign
        {"browser --x", "browser --x " + url},              // no placeholder: all of it
        {"browser %f \"%u\"", "browser %f  " + url},        // a quoted one is looked for first
    };
    for (const auto& [command, line] : cases)
        EXPECT_EQ(CUrlLauncher::BuildCommandLine(command, url), line) << command;
}

// When xdg-open fails, the handler is started and not waited for. It gets the arguments before
// the placeholder, then the URL whole as one argument: nothing in it is split, quoted or run. One
// that cannot start gives the code of the failed start.
TEST(UrlLauncher, TheHandlerGetsTheUrlWholeOrGivesTheStartsCode)
{
    CXdgSandbox sandbox;
    const std::string record = sandbox.File("browser-args"), marker = sandbox.File("pwned");
    // A browser that stays (waiting for it would take ten minutes), recording its process id first.
    sandbox.Script("browser",
                   "printf '%s\\0' $$ \"$@\" > '" + record + ".part' && mv '" + record + ".part' '" + record + "'; exec sleep 600");
    sandbox.RecordingScript("xdg-open", sandbox.File("shell-args"), "exit 4");
    Handler(sandbox, "browser --new-window \"%u\" --dropped");
    const std::string url = "http://x/a b \"c\" 'd'; touch " + marker + " $(touch " + marker + ") `touch " + marker + "` %u";
    EXPECT_GT(CUrlLauncher::OpenUrl(url, zanfo::kShow), 32);
    const auto args = WaitForRecord(record);
    ASSERT_TRUE(args && args->size() == 3);
    EXPECT_EQ(Args(args->begin() + 1, args->end()), (Args{"--new-window", url}));
    EXPECT_EQ(::kill(std::stoi(args->front()), SIGKILL), 0) << "still running, detached";
    EXPECT_FALSE(std::filesystem::exists(marker));

    const std::string plain = sandbox.Write("not-executable", "#!/bin/sh\n");
    const std::string garbage = sandbox.Write("garbage", "\177ELF garbage", true);
    const std::pair<std::string, int> cases[] = {
        {"no-such-browser %u", 2}, {plain + "/sub %u", 3}, {plain + " %u", 5}, {garbage + " %u", 11}, {"\"browser %u", 27}, {"%u", 27},
    };
    sandbox.RecordingScript("xdg-open", sandbox.File("shell-args"), "exit 3");
    for (const auto& [exec, code] : cases) {
        Handler(sandbox, exec);
        EXPECT_EQ(CUrlLauncher::OpenUrl(kUrl, zanfo::kShow), code) << exec;
    }
    Handler(sandbox, "browser %u");
    EXPECT_EQ(CUrlLauncher::OpenUrl("http://x/" + std::string(40000, 'a'), zanfo::kShow), 0) << "over-long";
}

TEST(UrlLauncher, ErrorTextsNameTheCodeOrSayItIsUnknown)
{
    const std::pair<int, std::string> cases[] = {{0, "The operating system is out\nof memory or resources."},
                                                 {32, "The specified dynamic-link library was not found."},
                                                 {33, "Unknown Error (33) occurred."}};
    for (const auto& [code, message] : cases)
        EXPECT_EQ(CUrlLauncher::OpenErrorText(code), "Unable to open hyperlink:\n\n" + message) << code;
}

}  // namespace
