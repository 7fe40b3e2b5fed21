#pragma once

#include <string>

// UTF-16 text from a file to UTF-8. A lone surrogate becomes U+FFFD rather than failing.
std::string Utf16ToUtf8(const std::u16string& text);
