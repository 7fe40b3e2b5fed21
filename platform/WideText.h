#pragma once

// Windows only: UTF-8 inside, UTF-16 at the Win32 boundary.
#include <string>
#include <string_view>

namespace zanfo {

// The W functions take and give these.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace zanfo
