#include "platform/WideText.h"

#include "platform/ExtendedPath.h"
#include "platform/TextCodec.h"

#include "platform/Win32Api.h"

namespace zanfo {

// wchar_t is a UTF-16 unit on Windows.
std::wstring Widen(std::string_view text)
{
    const std::u16string utf16 = Wtf8ToUtf16(text);
    return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view utf16)
{
    return Utf16ToWtf8(std::u16string(utf16.begin(), utf16.end()));
}

std::wstring FilePath(std::string_view path)
{
    std::wstring current(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data())) > current.size())
        current.resize(length);
    current.resize(length);
    const std::u16string extended = ExtendedLengthPath(Wtf8ToUtf16(path), std::u16string(current.begin(), current.end()));
    return std::wstring(extended.begin(), extended.end());
}

}  // namespace zanfo
