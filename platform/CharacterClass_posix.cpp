#include "platform/CharacterClass.h"

#include <clocale>
#include <cwctype>

#include <locale.h>
#include <wctype.h>

namespace zanfo {

bool IsPrintable(char32_t point)
{
    // The classes of C.UTF-8, whatever locale the program runs in.
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    if (!utf8)
        return point >= 0x20 && point < 0x7F;
    return iswprint_l(static_cast<wint_t>(point), utf8) != 0;
}

}  // namespace zanfo
