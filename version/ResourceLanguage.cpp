#include "version/ResourceLanguage.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kNeutral = 0x0000;
constexpr std::uint16_t kUsEnglish = 0x0409;
constexpr std::uint16_t kSublanguageDefault = 1;

std::uint16_t MakeLanguage(std::uint16_t primary, std::uint16_t sublanguage)
{
    return static_cast<std::uint16_t>(sublanguage << 10 | primary);
}

}  // namespace

std::vector<std::uint16_t> ResourceLanguageOrder(std::uint16_t userLanguage, std::uint16_t systemLanguage)
{
    std::vector<std::uint16_t> order{kNeutral};
    const auto add = [&order](std::uint16_t language) {
        if (std::find(order.begin(), order.end(), language) == order.end())
            order.push_back(language);
    };
    for (const std::uint16_t language : {userLanguage, systemLanguage}) {
        if (language == kNeutral)
            continue;  // unknown
        const std::uint16_t primary = language & 0x3FF;
        add(language);
        add(MakeLanguage(primary, 0));
        add(MakeLanguage(primary, kSublanguageDefault));
    }
    add(kUsEnglish);
    return order;
}
