#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Which language of a resource the Windows resource loader takes when none is asked for, as
// the version API uses it: neutral; the user's language; its primary language with the neutral
// sublanguage, then with the default one; the same three for the system's language; U.S.
// English. Each language once. (When none of these is there, the caller takes the first entry.)
std::vector<std::uint16_t> ResourceLanguageOrder(std::uint16_t userLanguage, std::uint16_t systemLanguage);

// The Windows language identifier of a POSIX locale name ("zh_CN.UTF-8", "de_DE@euro", "ja");
// 0 for "C", "POSIX" and names the table does not know.
std::uint16_t LanguageOfLocaleName(const std::string& localeName);

// The user's and the system's UI languages: on Windows as the system reports them; elsewhere
// both from the variables gettext reads for messages (LC_ALL, LC_MESSAGES, LANG). 0: unknown.
std::uint16_t UserUiLanguage();
std::uint16_t SystemUiLanguage();
