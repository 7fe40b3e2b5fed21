#include "platform/CharacterClass.h"

#include <string>

#include "platform/Win32Api.h"

namespace zanfo {

bool IsPrintable(char32_t point)
{
    // Windows' own classes: defined, no control, and no space but the ASCII one (the line and
    // paragraph separators are spaces to it).
    std::wstring unit;
    if (point < 0x10000) {
        unit = static_cast<wchar_t>(point);
    } else {
        unit += static_cast<wchar_t>(0xD800 + ((point - 0x10000) >> 10));
        unit += static_cast<wchar_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
    WORD types[2] = {};
    if ((point >= 0xD800 && point <= 0xDFFF) || !GetStringTypeW(CT_CTYPE1, unit.c_str(), static_cast<int>(unit.size()), types))
        return false;
    return (types[0] & C1_DEFINED) && !(types[0] & C1_CNTRL) && (point == u' ' || !(types[0] & C1_SPACE));
}

}  // namespace zanfo
