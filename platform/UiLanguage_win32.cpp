#include "platform/UiLanguage.h"

#include "platform/Win32Api.h"

namespace zanfo {

std::uint16_t UserUiLanguage()
{
    return GetUserDefaultUILanguage();
}

std::uint16_t SystemUiLanguage()
{
    return GetSystemDefaultUILanguage();
}

}  // namespace zanfo
