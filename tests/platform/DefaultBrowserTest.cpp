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

// Each step writes one file, then asks again: which lists are read in which order, which
// IDs count, and where an ID's entry is looked for.
TEST(DefaultBrowser, SearchOrderOfListsIdsAndEntries)
{
    CXdgSandbox sandbox;
    const std::string home = sandbox.ConfigHome() + "/", config = sandbox.ConfigDir() + "/mimeapps.list";
    const std::string data = sandbox.DataDir() + "/applications/";
    EXPECT_EQ(zanfo::DefaultWebBrowserExec(), std::nullopt) << "nothing registered";
    for (const char* id : {"plain", "desk", "html", "second", "other"})
        Install(sandbox, std::string(id) + ".desktop", id);
    Install(sandbox, "vendor/browser.desktop", "vendor browser");
    struct Step {
        std::string path, content;
        std::optional<std::string> expected;
    };
    const Step steps[] = {
        {home + "mimeapps.list", Mimeapps("not-installed.desktop"), std::nullopt},
        {data + "mimeapps.list", Mimeapps("html.desktop"), "html"},  // data folders' lists come last
        {config, Mimeapps("", "plain.desktop"), "html"},  // text/html only when no list names an http handler
        {config, Mimeapps("vendor-browser.desktop"), "vendor browser"},  // a vendor prefix can be a folder
        {home + "mimeapps.list", Mimeapps("gone.desktop;second.desktop;other.desktop"), "second"},
        {home + "mydesk-mimeapps.list", Mimeapps("desk.desktop"), "second"},  // not the current desktop
        {"XDG_CURRENT_DESKTOP", "Other:MyDesk", "desk"},  // its own list before the plain one
        {sandbox.DataHome() + "/applications/desk.desktop", "[Desktop Entry]\nExec=mine\n", "mine"},  // the user's first
    };
    for (const Step& step : steps) {
        if (step.path == "XDG_CURRENT_DESKTOP")
            sandbox.SetEnv(step.path, step.content);
        else
            sandbox.Write(step.path, step.content);
        EXPECT_EQ(zanfo::DefaultWebBrowserExec(), step.expected) << step.path << ": " << step.content;
    }
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
