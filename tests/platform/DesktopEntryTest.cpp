#include "DesktopEntry.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

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

}  // namespace
