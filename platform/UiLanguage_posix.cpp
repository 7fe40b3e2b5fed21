#include "platform/UiLanguage.h"

#include <cstdlib>
#include <string>

namespace zanfo {
namespace {

struct LocaleLanguage {
    const char* name;
    std::uint16_t language;
};

// The first entry of a language is the one a bare language name ("zh", "de") stands for.
const LocaleLanguage kLocaleLanguages[] = {
    {"zh_CN", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404}, {"en_US", 0x0409}, {"en_GB", 0x0809},
    {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"de_DE", 0x0407}, {"de_AT", 0x0C07}, {"de_CH", 0x0807},
    {"fr_FR", 0x040C}, {"fr_CA", 0x0C0C}, {"fr_BE", 0x080C}, {"es_ES", 0x0C0A}, {"es_MX", 0x080A}, {"ru_RU", 0x0419}, {"pt_BR", 0x0416},
    {"pt_PT", 0x0816}, {"it_IT", 0x0410}, {"nl_NL", 0x0413}, {"pl_PL", 0x0415}, {"tr_TR", 0x041F}, {"vi_VN", 0x042A}, {"th_TH", 0x041E}};

// The language of a locale name ("zh_CN.UTF-8", "de_DE@euro", "ja"); 0 for "C", "POSIX" and
// names the table does not know.
std::uint16_t LanguageOfLocaleName(const std::string& localeName)
{
    const std::string name = localeName.substr(0, localeName.find_first_of(".@"));
    const bool bare = name.find('_') == std::string::npos;
    for (const LocaleLanguage& entry : kLocaleLanguages) {
        const std::string known = entry.name;
        if (name == known || (bare && !name.empty() && known.compare(0, known.find('_'), name) == 0))
            return entry.language;
    }
    return 0;
}

}  // namespace

std::uint16_t UserUiLanguage()
{
    // The first of these that is set and not empty decides, as for gettext's messages.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return LanguageOfLocaleName(value);
    }
    return 0;
}

std::uint16_t SystemUiLanguage()
{
    return UserUiLanguage();
}

}  // namespace zanfo
