#include "platform/DefaultBrowser.h"

#include "platform/DesktopEntry.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace zanfo {
namespace {

namespace fs = std::filesystem;

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> SplitList(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string HomeRelative(const char* variable, const char* fallbackUnderHome)
{
    std::string value = Environment(variable);
    if (value.empty() || value[0] != '/')
        value = Environment("HOME") + fallbackUnderHome;
    return value;
}

std::vector<std::string> ListOrDefault(const char* variable, const char* fallback)
{
    std::vector<std::string> dirs;
    for (const std::string& dir : SplitList(Environment(variable), ':'))
        if (dir[0] == '/')
            dirs.push_back(dir);
    return dirs.empty() ? SplitList(fallback, ':') : dirs;
}

std::vector<std::string> ApplicationDirs()
{
    std::vector<std::string> dirs{HomeRelative("XDG_DATA_HOME", "/.local/share") + "/applications"};
    for (const std::string& dir : ListOrDefault("XDG_DATA_DIRS", "/usr/local/share:/usr/share"))
        dirs.push_back(dir + "/applications");
    return dirs;
}

std::vector<std::string> MimeappsFiles()
{
    std::vector<std::string> dirs{HomeRelative("XDG_CONFIG_HOME", "/.config")};
    for (const std::string& dir : ListOrDefault("XDG_CONFIG_DIRS", "/etc/xdg"))
        dirs.push_back(dir);
    for (const std::string& dir : ApplicationDirs())
        dirs.push_back(dir);

    std::vector<std::string> desktops;
    for (std::string desktop : SplitList(Environment("XDG_CURRENT_DESKTOP"), ':')) {
        for (char& c : desktop)
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        desktops.push_back(desktop);
    }
    std::vector<std::string> files;
    for (const std::string& dir : dirs) {
        for (const std::string& desktop : desktops)
            files.push_back(dir + "/" + desktop + "-mimeapps.list");
        files.push_back(dir + "/mimeapps.list");
    }
    return files;
}

// The desktop IDs a mimeapps.list names as defaults for the MIME type, in order.
std::vector<std::string> DefaultsIn(const std::string& listFile, const std::string& mimeType)
{
    const std::optional<std::string> ids = ReadKeyFileValue(listFile, "Default Applications", mimeType);
    return ids ? SplitList(*ids, ';') : std::vector<std::string>();
}

// A desktop ID names a file below an applications folder with '/' written as '-':
// "vendor-app.desktop" may be vendor-app.desktop or vendor/app.desktop. The folders are taken
// left to right, each the shortest that exists, and never revisited: trying every split would
// take time exponential in the dashes, which a tree of self-links makes real.
std::optional<std::string> FindDesktopFile(fs::path dir, std::string id)
{
    std::error_code error;
    for (;;) {
        if (fs::is_regular_file(dir / id, error))
            return (dir / id).string();
        std::size_t dash = id.find('-');
        while (dash != std::string::npos && !fs::is_directory(dir / id.substr(0, dash), error))
            dash = id.find('-', dash + 1);
        if (dash == std::string::npos)
            return std::nullopt;
        dir /= id.substr(0, dash);
        id.erase(0, dash + 1);
    }
}

std::optional<std::string> InstalledExec(const std::string& id)
{
    if (id.find('/') != std::string::npos || id.find("..") != std::string::npos)
        return std::nullopt;
    for (const std::string& dir : ApplicationDirs())
        if (auto file = FindDesktopFile(dir, id))
            if (auto exec = ReadDesktopExec(*file))
                return exec;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> DefaultWebBrowserExec()
{
    const std::vector<std::string> lists = MimeappsFiles();
    for (const char* mimeType : {"x-scheme-handler/http", "text/html"})
        for (const std::string& list : lists)
            for (const std::string& id : DefaultsIn(list, mimeType))
                if (auto exec = InstalledExec(id))
                    return exec;
    return std::nullopt;
}

}  // namespace zanfo
