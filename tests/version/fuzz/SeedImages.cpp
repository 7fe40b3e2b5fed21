#include "SeedImages.h"

#include "PeImageBuilder.h"

std::vector<std::pair<std::string, std::vector<unsigned char>>> SeedImages()
{
    VersionNode byteCounted = TextNode(u"CompanyName", u"company");
    byteCounted.valueLength = 16;
    VersionNode unpadded = TextNode(u"ProductName", u"product");
    unpadded.omitNul = true;
    const std::vector<VersionNode> strings = {TextNode(u"FileDescription", u"描述"), byteCounted, unpadded,
                                              TextNode(u"FileVersion", u"1, 1, 0, 0beta"), TextNode(u"LegalTrademarks", u"")};

    const auto standard = SerializeVersionBlock(StandardVersionInfo(u"080404b0", strings, TranslationBytes({{0x0804, 0x04B0}})));
    const auto fallback = SerializeVersionBlock(StandardVersionInfo(u"040904E4", strings, TranslationBytes({{0x8804, 0x04B0}})));
    const auto noTranslation = SerializeVersionBlock(StandardVersionInfo(u"080404b0", strings, std::nullopt));

    PeImageOptions languages;
    languages.languages = {{0x0804, standard}, {0x0409, fallback}, {0x0000, noTranslation}};

    return {
        {"block-standard", standard},
        {"block-fallback", fallback},
        {"pe32-standard", BuildPeImage(standard, false).bytes},
        {"pe32plus-standard", BuildPeImage(standard, true).bytes},
        {"pe32-fallback", BuildPeImage(fallback, false).bytes},
        {"pe32-no-translation", BuildPeImage(noTranslation, false).bytes},
        {"pe32-three-languages", BuildPeImage(languages).bytes},
    };
}
