// The XDG side of the portability layer (POSIX only): desktop entries and the default browser's
// lookup in the XDG database. Starting programs is shown where the URL launcher starts xdg-open
// and the browser.
#include "platform/DefaultBrowser.h"
#include "platform/DesktopEntry.h"
#include "tests/support/XdgSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include <sys/stat.h>

namespace {

using Args = std::vector<std::string>;

// How the Exec key itself is read is shown where the default browser's entry is looked up.
TEST(DesktopEntry, ExecIsSplitByTheDesktopEntryQuotingRules)
{
    const std::pair<std::string, std::optional<Args>> cases[] = {
        {"firefox", Args{"firefox"}},
        {"run \"unterminated", std::nullopt},
        {"  /opt/my browser/run  --flag  ", Args{"/opt/my", "browser/run", "--flag"}},
        {"\"/opt/my browser/run\" --flag", Args{"/opt/my browser/run", "--flag"}},
        {"run \"a \\\"quoted\\\" \\$word\\\\\" \"\"", Args{"run", "a \"quoted\" $word\\", ""}},
        {"run --icon %i --caption %c 100%%s", Args{"run", "--icon", "--caption", "100%s"}},
        {"run x\"y z\"w", Args{"run", "xy zw"}}};
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
    // The file written (or the variable set), what it holds, and the browser found afterwards.
    const std::tuple<std::string, std::string, std::optional<std::string>> steps[] = {
        {"config-home/mimeapps.list", Mimeapps("not-installed.desktop"), std::nullopt},
        {"data-dir/applications/mimeapps.list", Mimeapps("html.desktop"), "html"},  // data folders' lists come last
        {"config-dir/mimeapps.list", Mimeapps("", "plain.desktop"), "html"},        // text/html only when no list names an http handler
        {"config-dir/mimeapps.list", Mimeapps("vendor-browser.desktop"), "vendor browser"},  // a vendor prefix can be a folder
        {"config-home/mimeapps.list", Mimeapps("gone.desktop;second.desktop;other.desktop"), "second"},
        {"config-home/mydesk-mimeapps.list", Mimeapps("desk.desktop"), "second"},  // not the current desktop's
        {"XDG_CURRENT_DESKTOP", "Other:MyDesk", "desk"},                           // its own list before the plain one
        {"data-home/applications/desk.desktop",  // the user's entry first; only [Desktop Entry]'s own Exec
         "[Desktop Action new]\nExec=wrong\n[Desktop Entry]\nExec[de]=localised\nExecutable=no\nExec = mine\\s--x \\\\ %u\r\n",
         "mine --x \\ %u"},
    };
    for (const auto& [path, content, shown] : steps) {
        if (path == "XDG_CURRENT_DESKTOP")
            setenv(path.c_str(), content.c_str(), 1);
        else
            sandbox.Write(path, content);
        EXPECT_EQ(zanfo::DefaultWebBrowserExec(), shown) << path << ": " << content;
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
    Install(sandbox, "big.desktop", "big %u");
    for (const auto& [size, shown] : {std::pair<std::size_t, const char*>{1 << 20, "big %u"}, {(1 << 20) + 1, "fine %u"}}) {
        const std::string list = Mimeapps("big.desktop");
        std::ofstream(config, std::ios::trunc) << list << std::string(size - list.size(), '#');
        EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>(shown)) << "a list of " << size << " bytes";
    }

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

}  // namespace
