#pragma once

// The XDG side of the web-page handler (built off Windows only).

#include <optional>
#include <string>

namespace zanfo {

// The Exec command line of the user's default application for web pages, read from the XDG
// MIME applications database: x-scheme-handler/http first, then text/html. mimeapps.list files
// are searched in XDG order ($XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, then the applications folders
// of $XDG_DATA_HOME and $XDG_DATA_DIRS), each desktop's own list before the plain one; in a
// list the first desktop ID that is installed wins. Nothing when no handler is found.
std::optional<std::string> DefaultWebBrowserExec();

}  // namespace zanfo
