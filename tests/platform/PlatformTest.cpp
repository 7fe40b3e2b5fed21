// The POSIX half of the portability layer: desktop entries, the default browser's lookup in
// the XDG database, and starting programs.
#include "DefaultBrowser.h"
#include "DesktopEntry.h"
#include "ProcessLauncher.h"
#include "XdgSandbox.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

using Args = std::vector<std::string>;
using namespace std::chrono_literals;

// How the Exec key itself is read is shown where the default browser's entry is looked up.
TEST(DesktopEntry, ExecIsSplitByTheDesktopEntryQuotingRules)
{
    const std::pair<std::string, std::optional<Args>> cases[] = {
        {"firefox", Args{"firefox"}},
        {"  /opt/my browser/run  --flag  ", Args{"/opt/my", "browser/run", "--flag"}},
        {"\"/opt/my browser/run\" --flag", Args{"/opt/my browser/run", "--flag"}},
        {"run \"a \\\"quoted\\\" \\$word\\\\\" \"\"", Args{"run", "a \"quoted\" $word\\", ""}},
        {"run --icon %i --caption %c 100%%", Args{"run", "--icon", "--caption", "100%"}},
        {"run x\"y z\"w", Args{"run", "xy zw"}},
        {"run \"unterminated", std::nullopt},
    };
    for (const auto& [exec, args] : cases)
        EXPECT_EQ(zanfo::SplitDesktopExec(exec), args) << exec;
}

std::string Mimeapps(const std::string& httpIds, const std::string& htmlIds = "")
{
    return "[Added Associations]\nx-scheme-handler/http=added.desktop;\n[Default Applications]\n" +
           (httpIds.empty() ? "" : "x-scheme-handler/http=" + httpIds + "\n") + (htmlIds.empty() ? "" : "text/html=" + htmlIds + "\n");
}

void Install(CXdgSandbox& sandbox, const std::string& relativePath, const std::string& exec)
{
    sandbox.Write("data-dir/applications/" + relativePath, "[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
}

// Each step writes one file, then asks again: which lists are read in which order, which IDs
// count, where an ID's entry is looked for, and how its Exec key is read.
TEST(DefaultBrowser, SearchOrderOfListsIdsAndEntries)
{
    CXdgSandbox sandbox;
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::nullopt) << "nothing registered";
    for (const char* id : {"plain", "desk", "html", "second", "other"})
        Install(sandbox, std::string(id) + ".desktop", id);
    Install(sandbox, "vendor/browser.desktop", "vendor browser");
    const std::pair<std::string, std::string> steps[] = {
        {"config-home/mimeapps.list", Mimeapps("not-installed.desktop")},
        {"data-dir/applications/mimeapps.list", Mimeapps("html.desktop")},  // data folders' lists come last
        {"config-dir/mimeapps.list", Mimeapps("", "plain.desktop")},  // text/html only when no list names an http handler
        {"config-dir/mimeapps.list", Mimeapps("vendor-browser.desktop")},  // a vendor prefix can be a folder
        {"config-home/mimeapps.list", Mimeapps("gone.desktop;second.desktop;other.desktop")},
        {"config-home/mydesk-mimeapps.list", Mimeapps("desk.desktop")},  // not the current desktop's
        {"XDG_CURRENT_DESKTOP", "Other:MyDesk"},  // its own list before the plain one
        {"data-home/applications/desk.desktop",  // the user's entry first; only [Desktop Entry]'s own Exec
         "[Desktop Action new]\nExec=wrong\n[Desktop Entry]\nExec[de]=localised\nExecutable=no\nExec = mine\\s--x \\\\ %u\r\n"},
    };
    const std::optional<std::string> shown[] = {std::nullopt, "html",   "html", "vendor browser",
                                                "second",     "second", "desk", "mine --x \\ %u"};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& [path, content] = steps[i];
        path == "XDG_CURRENT_DESKTOP" ? sandbox.SetEnv(path, content.c_str()) : void(sandbox.Write(path, content));
        EXPECT_EQ(zanfo::DefaultWebBrowserExec(), shown[i]) << path << ": " << content;
    }
}

// Whatever sits where a list or an entry should be, the search skips it and goes on, without
// blocking, without reading without end, and in time linear in an ID's dashes.
TEST(DefaultBrowser, HostileFilesAndFoldersAreSkipped)
{
    CXdgSandbox sandbox;
    Install(sandbox, "fine.desktop", "fine %u");
    sandbox.Write("data-dir/applications/mimeapps.list", Mimeapps("fine.desktop"));
    const std::string home = sandbox.File("config-home/mimeapps.list"), config = sandbox.File("config-dir/mimeapps.list");
    ASSERT_EQ(mkfifo(home.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", config);
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("fine %u"));

    std::filesystem::remove(config);
    std::ofstream(config) << Mimeapps("big.desktop") << std::string(2 << 20, '#');
    Install(sandbox, "big.desktop", "big %u");
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("fine %u")) << "a list over 1 MiB";

    // An applications folder that links to itself, and an ID of forty dashes that names nothing.
    std::filesystem::remove(config);
    std::filesystem::create_directories(sandbox.File("data-home/applications"));
    std::filesystem::create_symlink(".", sandbox.File("data-home/applications/a"));
    std::string id = "a";
    for (int dash = 0; dash < 40; ++dash)
        id += "-a";
    sandbox.Write("config-dir/mimeapps.list", Mimeapps(id + ".desktop;fifo.desktop;fine.desktop"));
    ASSERT_EQ(mkfifo(sandbox.File("data-home/applications/fifo.desktop").c_str(), 0600), 0);
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("fine %u"));
}

TEST(ProcessLauncher, RunAndWaitReportsHowTheProgramEnded)
{
    CXdgSandbox sandbox;
    sandbox.Script("fails", "exit 4");
    sandbox.Script("reads-stdin", "cat; exit 0");  // stdin is /dev/null, so cat ends at once
    sandbox.Script("slow", "exec sleep 5 >/dev/null 2>&1");  // must not hold the test's output open
    // A folder of the same name earlier on PATH is no program.
    std::filesystem::create_directories(sandbox.File("first/fails"));
    sandbox.SetEnv("PATH", (sandbox.File("first") + ":" + std::getenv("PATH")).c_str());
    struct Case {
        std::vector<std::string> argv;
        int startError;
        bool exited;
        int exitStatus;
    };
    const Case cases[] = {{{"fails"}, 0, true, 4}, {{"reads-stdin"}, 0, true, 0}, {{"no-such-program"}, ENOENT, false, 0}, {{}, ENOENT, false, 0}};
    // An ignored SIGCHLD, inherited from whoever started us, must not hide the exit status.
    for (const auto disposition : {SIG_DFL, SIG_IGN}) {
        std::signal(SIGCHLD, disposition);
        for (const Case& c : cases) {
            const zanfo::ProcessOutcome outcome = zanfo::RunAndWait(c.argv, 30s);
            EXPECT_EQ(std::tie(outcome.startError, outcome.exited, outcome.exitStatus), std::tie(c.startError, c.exited, c.exitStatus))
                << (c.argv.empty() ? "" : c.argv[0]);
        }
    }
    std::signal(SIGCHLD, SIG_DFL);
    const zanfo::ProcessOutcome slow = zanfo::RunAndWait({"slow"}, 100ms);
    EXPECT_TRUE(slow.stillRunning && !slow.exited);
}

TEST(ProcessLauncher, StartDetachedPassesArgumentsUntouchedAndDoesNotWait)
{
    CXdgSandbox sandbox;
    const std::string record = sandbox.File("args"), pidFile = sandbox.File("pid");
    sandbox.RecordingScript("recorder", record);
    EXPECT_EQ(zanfo::StartDetached({"recorder", "two words", "$(x)", ""}), 0);
    EXPECT_EQ(WaitForRecord(record), std::optional<Args>({"two words", "$(x)", ""}));
    EXPECT_EQ(zanfo::StartDetached({"no-such-program"}), ENOENT);
    // A browser that stays: the start returns while it runs (waiting would take ten minutes).
    sandbox.Script("stays", "printf '%s\\0' $$ > '" + pidFile + ".part' && mv '" + pidFile + ".part' '" + pidFile + "'; exec sleep 600");
    EXPECT_EQ(zanfo::StartDetached({"stays"}), 0);
    const auto pid = WaitForRecord(pidFile);
    ASSERT_TRUE(pid);
    EXPECT_EQ(::kill(std::stoi(pid->front()), SIGKILL), 0) << "still running, detached";
}

}  // namespace
