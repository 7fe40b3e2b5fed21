#include "DesktopEntry.h"
#include "XdgSandbox.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

TEST(DesktopEntry, ExecIsSplitByTheDesktopEntryQuotingRules)
{
    const std::pair<std::string, Args> cases[] = {
        {"firefox", {"firefox"}},
        {"  /opt/my browser/run  --flag  ", {"/opt/my", "browser/run", "--flag"}},
        {"\"/opt/my browser/run\" --flag", {"/opt/my browser/run", "--flag"}},
        {"run \"a \\\"quoted\\\" \\$word\\\\\" \"\"", {"run", "a \"quoted\" $word\\", ""}},
        {"run --icon %i --caption %c 100%%", {"run", "--icon", "--caption", "100%"}},
        {"run x\"y z\"w", {"run", "xy zw"}},
    };
    for (const auto& [exec, args] : cases)
        EXPECT_EQ(zanfo::SplitDesktopExec(exec), std::optional<Args>(args)) << exec;
    EXPECT_EQ(zanfo::SplitDesktopExec("run \"unterminated"), std::nullopt);
}

TEST(DesktopEntry, ExecKeyIsReadFromTheDesktopEntryGroupOnly)
{
    CXdgSandbox sandbox;
    const std::string file = sandbox.File("app.desktop");
    sandbox.Write(file,
                  "[Desktop Action new]\nExec=wrong --action\n"
                  "[Desktop Entry]\nName=App\nExec[de]=localised\nExecutable=no\nExec = run\\s--x \\\\ %u\r\n");
    EXPECT_EQ(zanfo::ReadDesktopExec(file), std::optional<std::string>("run --x \\ %u"));

    sandbox.Write(file, "[Desktop Entry]\nName=No command\n");
    EXPECT_EQ(zanfo::ReadDesktopExec(file), std::nullopt);
    EXPECT_EQ(zanfo::ReadDesktopExec(sandbox.File("missing.desktop")), std::nullopt);
}

}  // namespace
