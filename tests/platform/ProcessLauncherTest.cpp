#include "ProcessLauncher.h"
#include "XdgSandbox.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>

namespace {

using namespace std::chrono_literals;

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
    EXPECT_EQ(WaitForRecord(record), std::optional<std::vector<std::string>>({"two words", "$(x)", ""}));
    EXPECT_EQ(zanfo::StartDetached({"no-such-program"}), ENOENT);
    // A browser that stays: the start returns while it runs (waiting would take ten minutes).
    sandbox.Script("stays", "printf '%s\\0' $$ > '" + pidFile + ".part' && mv '" + pidFile + ".part' '" + pidFile + "'; exec sleep 600");
    EXPECT_EQ(zanfo::StartDetached({"stays"}), 0);
    const auto pid = WaitForRecord(pidFile);
    ASSERT_TRUE(pid);
    EXPECT_EQ(::kill(std::stoi(pid->front()), SIGKILL), 0) << "still running, detached";
}

}  // namespace
