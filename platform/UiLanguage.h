#pragma once

#include <cstdint>

namespace zanfo {

// The user's and the system's UI languages as Windows language identifiers (0x0804 for
// Chinese as written in China), 0 when unknown: on Windows as the system reports them; elsewhere
// both from the variables gettext reads for messages (LC_ALL, LC_MESSAGES, LANG).
std::uint16_t UserUiLanguage();
std::uint16_t SystemUiLanguage();

}  // namespace zanfo
