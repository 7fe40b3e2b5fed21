#pragma once

#include <string>
#include <string_view>

namespace zanfo {

// The form of a path that Win32 file calls take as it stands: "\\?\" before a drive path,
// "\\?\UNC\" instead of a share's "\\". Without it Win32 rewrites names: it drops trailing dots
// and spaces ("dot." opens "dot") and turns NUL, CON, AUX or COM1, with any extension, into
// devices. So only the rewriting a user means is done here, and nothing else: "/" becomes "\",
// empty and "." components go, ".." takes the one before it (never the drive or share). A
// relative path is taken from `currentFolder`, which is absolute. A path that already starts
// with "\\?\" or "\\.\" is taken as it is. Empty stays empty.
std::u16string ExtendedLengthPath(std::u16string_view path, std::u16string_view currentFolder);

}  // namespace zanfo
