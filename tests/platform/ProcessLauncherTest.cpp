#include "ProcessLauncher.h"
#include "XdgSandbox.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using namespace std::chrono_literals;

TEST(ProcessLauncher, RunAndWaitReportsExitStatusStartErrorsAndSlowPrograms)
{
    CXdgSandbox sandbox;
    sandbox.Script("fails", "exit 4");
    sandbox.Script("reads-stdin", "cat; exit 0");  // stdin is /dev/null, so cat ends at once
    sandbox.Script("slow", "exec sleep 5 >/dev/null 2>&1");  // must not hold the test's output open

    const zanfo::ProcessOutcome failed = zanfo::RunAndWait({"fails"}, 30s);
    EXPECT_TRUE(failed.exited);
    EXPECT_EQ(failed.exitStatus, 4);

    const zanfo::ProcessOutcome quick = zanfo::RunAndWait({"reads-stdin"}, 30s);
    EXPECT_TRUE(quick.exited);
    EXPECT_EQ(quick.exitStatus, 0);

    EXPECT_EQ(zanfo::RunAndWait({"no-such-program"}, 30s).startError, ENOENT);
    EXPECT_EQ(zanfo::RunAndWait({}, 30s).startError, ENOENT);

    const zanfo::ProcessOutcome slow = zanfo::RunAndWait({"slow"}, 100ms);
    EXPECT_TRUE(slow.stillRunning);
    EXPECT_FALSE(slow.exited);
}

TEST(ProcessLauncher, StartDetachedRunsTheProgramWithItsArgumentsUntouched)
{
    CXdgSandbox sandbox;
    const std::string record = sandbox.File("args");
    sandbox.RecordingScript("recorder", record);
    EXPECT_EQ(zanfo::StartDetached({"recorder", "two words", "$(x)", ""}), 0);
    EXPECT_EQ(WaitForRecord(record), std::optional<std::vector<std::string>>({"two words", "$(x)", ""}));
    EXPECT_EQ(zanfo::StartDetached({"no-such-program"}), ENOENT);
}

}  // namespace
