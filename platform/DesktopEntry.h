#pragma once

// XDG key files: desktop entries and mimeapps.list (built off Windows only).

#include <optional>
#include <string>
#include <vector>

namespace zanfo {

// The value of a key in a group of an XDG key file (.desktop files, mimeapps.list), as written;
// nothing when the file, the group or the key is missing.
std::optional<std::string> ReadKeyFileValue(const std::string& path, const std::string& group, const std::string& key);

// The Exec key of a .desktop file's [Desktop Entry] group, with the general string escapes
// (\s \n \t \r \\) resolved; nothing when the file or the key is missing.
std::optional<std::string> ReadDesktopExec(const std::string& desktopFilePath);

// Splits an Exec command line into arguments by the desktop-entry quoting rules: blanks
// separate arguments; inside double quotes a backslash escapes " ` $ and \. Nothing when a
// quote is left open. "%%" becomes "%"; arguments that are only a field code are dropped.
std::optional<std::vector<std::string>> SplitDesktopExec(const std::string& exec);

}  // namespace zanfo
