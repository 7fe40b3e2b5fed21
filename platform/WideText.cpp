#include "platform/WideText.h"

#include "platform/TextCodec.h"

namespace zanfo {

// wchar_t is a UTF-16 unit on Windows.
std::wstring Widen(std::string_view utf8)
{
    const std::u16string utf16 = Utf8ToUtf16(utf8);
    return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view utf16)
{
    return Utf16ToUtf8(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace zanfo
