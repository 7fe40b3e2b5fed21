// The path Win32 file calls get: the "\\?\" form, with only the rewriting a user means.
#include "platform/ExtendedPath.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(ExtendedPath, OnlyTheRewritingAUserMeans)
{
    // The path given, the current folder, what the file call gets.
    const std::tuple<const char*, std::u16string, std::u16string, std::u16string> rows[] = {
        {"drive", u"C:\\a\\b.txt", u"D:\\cwd", u"\\\\?\\C:\\a\\b.txt"},
        {"forward-slashes", u"c:/a/b.txt", u"D:\\cwd", u"\\\\?\\c:\\a\\b.txt"},
        {"dots-and-doubled-separators", u"C:\\a\\.\\x\\..\\\\b", u"D:\\cwd", u"\\\\?\\C:\\a\\b"},
        {"no-higher-than-the-drive", u"C:\\..\\..\\b", u"D:\\cwd", u"\\\\?\\C:\\b"},
        {"trailing-dot-and-space-stay", u"C:\\a\\dot. ", u"D:\\cwd", u"\\\\?\\C:\\a\\dot. "},
        {"device-names-stay-names", u"C:\\a\\nul.txt", u"D:\\cwd", u"\\\\?\\C:\\a\\nul.txt"},
        {"folder-keeps-its-separator", u"C:\\a\\dir\\", u"D:\\cwd", u"\\\\?\\C:\\a\\dir\\"},
        {"drive-root", u"C:", u"D:\\cwd", u"\\\\?\\C:\\"},
        {"share", u"\\\\server\\share\\a\\..\\..\\x", u"D:\\cwd", u"\\\\?\\UNC\\server\\share\\x"},
        {"share-with-slashes", u"//server/share/x", u"D:\\cwd", u"\\\\?\\UNC\\server\\share\\x"},
        {"server-without-share", u"\\\\server", u"D:\\cwd", u"\\\\server"},
        {"relative", u"..\\x.", u"D:\\cwd\\sub", u"\\\\?\\D:\\cwd\\x."},
        {"rooted-on-the-current-drive", u"\\x", u"D:\\cwd", u"\\\\?\\D:\\x"},
        {"rooted-on-the-current-share", u"\\x", u"\\\\s\\sh\\cwd", u"\\\\?\\UNC\\s\\sh\\x"},
        {"drive-relative-current-drive", u"d:x", u"D:\\cwd", u"\\\\?\\D:\\cwd\\x"},
        {"drive-relative-other-drive", u"E:x", u"D:\\cwd", u"\\\\?\\E:\\x"},
        {"relative-to-an-extended-folder", u"x", u"\\\\?\\D:\\long", u"\\\\?\\D:\\long\\x"},
        {"already-extended", u"\\\\?\\C:\\a\\.\\b", u"D:\\cwd", u"\\\\?\\C:\\a\\.\\b"},
        {"device-namespace", u"\\\\.\\pipe\\p", u"D:\\cwd", u"\\\\.\\pipe\\p"},
        {"empty", u"", u"D:\\cwd", u""},
    };
    for (const auto& [name, path, current, extended] : rows)
        EXPECT_EQ(zanfo::ExtendedLengthPath(path, current), extended) << name;
}

}  // namespace
