#include "DefaultBrowser.h"
#include "XdgSandbox.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace {

std::string Mimeapps(const std::string& httpIds, const std::string& htmlIds = "")
{
    std::string text = "[Added Associations]\nx-scheme-handler/http=added.desktop;\n[Default Applications]\n";
    if (!httpIds.empty())
        text += "x-scheme-handler/http=" + httpIds + "\n";
    if (!htmlIds.empty())
        text += "text/html=" + htmlIds + "\n";
    return text;
}

void Install(CXdgSandbox& sandbox, const std::string& relativePath, const std::string& exec)
{
    sandbox.Write(sandbox.DataDir() + "/applications/" + relativePath, "[Desktop Entry]\nType=Application\nExec=" + exec + "\n");
}

TEST(DefaultBrowser, NothingRegisteredGivesNothing)
{
    CXdgSandbox sandbox;
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::nullopt);
    sandbox.Write(sandbox.ConfigHome() + "/mimeapps.list", Mimeapps("not-installed.desktop"));
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::nullopt);
}

TEST(DefaultBrowser, FirstInstalledIdOfTheFirstListWins)
{
    CXdgSandbox sandbox;
    Install(sandbox, "second.desktop", "second %u");
    Install(sandbox, "other.desktop", "other %u");
    sandbox.Write(sandbox.ConfigHome() + "/mimeapps.list", Mimeapps("gone.desktop;second.desktop;other.desktop"));
    sandbox.Write(sandbox.ConfigDir() + "/mimeapps.list", Mimeapps("other.desktop"));
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("second %u"));
}

TEST(DefaultBrowser, SearchOrderDesktopListsAndFallbacks)
{
    CXdgSandbox sandbox;
    Install(sandbox, "plain.desktop", "plain");
    Install(sandbox, "desk.desktop", "desk");
    Install(sandbox, "vendor/browser.desktop", "vendor browser");
    Install(sandbox, "html.desktop", "html");

    // Lists in the data folders are read last.
    sandbox.Write(sandbox.DataDir() + "/applications/mimeapps.list", Mimeapps("html.desktop"));
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("html"));

    // text/html is asked only when no list names an installed http handler.
    sandbox.Write(sandbox.ConfigDir() + "/mimeapps.list", Mimeapps("", "plain.desktop"));
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("html"));

    // A vendor prefix in the ID can be a folder.
    sandbox.Write(sandbox.ConfigDir() + "/mimeapps.list", Mimeapps("vendor-browser.desktop"));
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("vendor browser"));

    // The current desktop's own list comes before the plain one in the same folder.
    sandbox.Write(sandbox.ConfigHome() + "/mimeapps.list", Mimeapps("plain.desktop"));
    sandbox.Write(sandbox.ConfigHome() + "/mydesk-mimeapps.list", Mimeapps("desk.desktop"));
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("plain"));
    sandbox.SetEnv("XDG_CURRENT_DESKTOP", "Other:MyDesk");
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("desk"));

    // The user's own applications folder comes before the system's.
    sandbox.Write(sandbox.DataHome() + "/applications/desk.desktop", "[Desktop Entry]\nExec=mine\n");
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("mine"));
}

// Whatever sits where a list or an entry should be, the search skips it and goes on, without
// blocking, without reading without end, and in time linear in an ID's dashes.
TEST(DefaultBrowser, HostileFilesAndFoldersAreSkipped)
{
    CXdgSandbox sandbox;
    Install(sandbox, "fine.desktop", "fine %u");
    sandbox.Write(sandbox.DataDir() + "/applications/mimeapps.list", Mimeapps("fine.desktop"));
    const std::string home = sandbox.ConfigHome() + "/mimeapps.list";
    const std::string config = sandbox.ConfigDir() + "/mimeapps.list";
    ASSERT_EQ(mkfifo(home.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", config);
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("fine %u"));

    std::filesystem::remove(config);
    std::ofstream(config) << Mimeapps("big.desktop") << std::string(2 << 20, '#');
    Install(sandbox, "big.desktop", "big %u");
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("fine %u")) << "a list over 1 MiB";

    // An applications folder that links to itself, and an ID of forty dashes that names nothing.
    std::filesystem::remove(config);
    std::filesystem::create_directories(sandbox.DataHome() + "/applications");
    std::filesystem::create_symlink(".", sandbox.DataHome() + "/applications/a");
    std::string id = "a";
    for (int dash = 0; dash < 40; ++dash)
        id += "-a";
    sandbox.Write(config, Mimeapps(id + ".desktop;fifo.desktop;fine.desktop"));
    const std::string fifo = sandbox.DataHome() + "/applications/fifo.desktop";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::optional<std::string>("fine %u"));
}

}  // namespace
