#include "platform/ExtendedPath.h"

#include <vector>

namespace zanfo {
namespace {

bool IsDriveLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool StartsWith(std::u16string_view text, std::u16string_view start)
{
    return text.substr(0, start.size()) == start;
}

// How long the root of an absolute path with backslashes is: "C:", "\\server\share",
// "\\?\C:" or "\\?\UNC\server\share"; 0 for anything else.
std::size_t RootLength(std::u16string_view path)
{
    std::size_t at = 0;
    bool share = false;
    if (StartsWith(path, u"\\\\?\\UNC\\")) {
        at = 8, share = true;
    } else if (StartsWith(path, u"\\\\?\\")) {
        at = 4;
    } else if (StartsWith(path, u"\\\\")) {
        at = 2, share = true;
    }
    if (!share)
        return path.size() >= at + 2 && IsDriveLetter(path[at]) && path[at + 1] == u':' ? at + 2 : 0;
    // The server's name, then the share's.
    const std::size_t server = path.find(u'\\', at);
    if (server == at || server == std::u16string_view::npos || server + 1 == path.size() || path[server + 1] == u'\\')
        return 0;
    return std::min(path.find(u'\\', server + 1), path.size());
}

// An absolute path with backslashes, made from what the user gave.
std::u16string Absolute(const std::u16string& path, std::u16string_view currentFolder)
{
    if (RootLength(path) != 0 && (path.size() == RootLength(path) || path[RootLength(path)] == u'\\'))
        return path;
    const std::u16string current(currentFolder);
    if (path[0] == u'\\')  // rooted on the current drive or share
        return current.substr(0, RootLength(current)) + path;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {  // "C:name": that drive's folder
        const std::u16string drive = path.substr(0, 2), rest = path.substr(2);
        const std::size_t root = RootLength(current);
        const bool sameDrive = root >= 2 && (current[root - 2] | 0x20) == (path[0] | 0x20) && current[root - 1] == u':';
        return (sameDrive ? current : drive) + u"\\" + rest;
    }
    return current + u"\\" + path;
}

}  // namespace

std::u16string ExtendedLengthPath(std::u16string_view path, std::u16string_view currentFolder)
{
    if (path.empty() || StartsWith(path, u"\\\\?\\") || StartsWith(path, u"\\\\.\\"))
        return std::u16string(path);
    std::u16string given(path);
    for (char16_t& c : given)
        c = c == u'/' ? u'\\' : c;
    if (StartsWith(given, u"\\\\") && RootLength(given) == 0)
        return given;  // no server and share: nothing to open, and not a local name either
    const std::u16string absolute = Absolute(given, currentFolder);
    const std::size_t rootLength = RootLength(absolute);
    std::u16string root = absolute.substr(0, rootLength);
    if (!StartsWith(root, u"\\\\?\\"))
        root = StartsWith(root, u"\\\\") ? u"\\\\?\\UNC\\" + root.substr(2) : u"\\\\?\\" + root;

    std::vector<std::u16string_view> names;
    const std::u16string_view rest = std::u16string_view(absolute).substr(rootLength);
    for (std::size_t start = 0; start < rest.size();) {
        const std::size_t end = std::min(rest.find(u'\\', start), rest.size());
        const std::u16string_view name = rest.substr(start, end - start);
        if (name == u"..") {
            if (!names.empty())
                names.pop_back();
        } else if (!name.empty() && name != u".") {
            names.push_back(name);
        }
        start = end + 1;
    }
    std::u16string extended = root;
    for (const std::u16string_view name : names)
        extended.append(u"\\").append(name);
    // A folder named with a separator at its end keeps it: "file\" names no file.
    if (names.empty() || given.back() == u'\\')
        extended += u'\\';
    return extended;
}

}  // namespace zanfo
