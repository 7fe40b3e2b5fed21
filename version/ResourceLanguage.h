#pragma once

#include <cstdint>
#include <vector>

// Which language of a resource the Windows resource loader takes when none is asked for, as
// the version API uses it: neutral; the user's language; its primary language with the neutral
// sublanguage, then with the default one; the same three for the system's language; U.S.
// English. Each language once. (When none of these is there, the caller takes the first entry.)
std::vector<std::uint16_t> ResourceLanguageOrder(std::uint16_t userLanguage, std::uint16_t systemLanguage);
