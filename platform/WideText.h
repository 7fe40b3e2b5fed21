#pragma once

// Windows only: UTF-8 inside, UTF-16 at the Win32 boundary.
#include <string>
#include <string_view>

namespace zanfo {

// The lossless pair: every UTF-16 text the system gives, a lone surrogate in a file name
// included, comes back unchanged; the W functions take and give these.
std::wstring Widen(std::string_view text);
std::string Narrow(std::wstring_view utf16);

// A path as the file calls get it: its UTF-16, absolute and in the "\\?\" form, so that Win32
// changes nothing in it (see ExtendedPath.h).
std::wstring FilePath(std::string_view path);

}  // namespace zanfo
