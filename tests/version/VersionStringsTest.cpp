#include "VersionTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace {

using Translation = std::optional<std::vector<unsigned char>>;

std::vector<VersionNode> FourStrings()
{
    return {TextNode(u"CompanyName", u"赞佛软件"), TextNode(u"FileDescription", u"Zanfo文件诊所MD5值计算工具"),
            TextNode(u"FileVersion", u"1, 1, 0, 0beta"), TextNode(u"ProductName", u"MD5值计算工具 ")};
}
const VersionResult kFourStrings{"1", "Zanfo文件诊所MD5值计算工具", "赞佛软件", "MD5值计算工具 ", "1, 1, 0, 0beta"};

// The first Translation entry names the table, whatever the case of its key; without one (or
// with one under 4 bytes) nothing is found, but the file still has a version resource.
TEST(VersionStrings, TheFirstTranslationEntryNamesTheTable)
{
    const std::tuple<const char*, std::u16string, Translation, VersionResult> cases[] = {
        {"lower-case key", u"080404b0", TranslationBytes({{0x0804, 0x04B0}}), kFourStrings},
        {"upper-case key", u"080404B0", TranslationBytes({{0x0804, 0x04B0}}), kFourStrings},
        {"only the first entry counts", u"080404b0", TranslationBytes({{0x0409, 0x04B0}, {0x0804, 0x04B0}}), kEmptyVersion},
        {"no Translation", u"080404b0", std::nullopt, kEmptyVersion},
        {"empty Translation", u"080404b0", std::vector<unsigned char>{}, kEmptyVersion},
        {"Translation of 2 bytes", u"080404b0", std::vector<unsigned char>{0x04, 0x08}, kEmptyVersion},
    };
    CTempDir dir;
    for (const auto& [what, table, translation, expected] : cases)
        for (const bool pe32Plus : {false, true})
            EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(Block(table, FourStrings(), translation), pe32Plus).bytes), expected)
                << what << (pe32Plus ? ", PE32+" : "");
}

TEST(VersionStrings, TopBitLanguageLooksUpThreeStringsUnderUsEnglish)
{
    VersionNode root = StandardVersionInfo(u"880404B0", {TextNode(u"FileVersion", u"own pair"), TextNode(u"ProductName", u"wrong")},
                                           TranslationBytes({{0x8804, 0x04B0}}));
    root.children[0].children.push_back(BlockNode(u"040904E4", {TextNode(u"FileDescription", u"desc"), TextNode(u"CompanyName", u"company"),
                                                                TextNode(u"ProductName", u"product"), TextNode(u"FileVersion", u"not this one")}));
    CTempDir dir;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(SerializeVersionBlock(root)).bytes), (VersionResult{"1", "desc", "company", "product", "own pair"}));
}

// Each value ends at its NUL or at its own node's end, whatever wValueLength claims; missing
// and empty strings stay empty; any non-zero wType is text when the children's start is found.
TEST(VersionStrings, ValuesEndAtTheirNodeWhateverTheirLengthsClaim)
{
    VersionNode byteCounted = TextNode(u"CompanyName", u"bytes"), overlong = TextNode(u"FileDescription", u"desc");
    VersionNode overlongNoNul = TextNode(u"FileVersion", u"9.9"), unpadded = TextNode(u"ProductName", u"ABC");
    byteCounted.valueLength = 12;  // a byte count where characters belong
    overlong.valueLength = overlongNoNul.valueLength = 0xFFFF;
    overlongNoNul.omitNul = true;  // clipped at its node's end, not read into the next node
    unpadded.omitNul = true;       // the value runs to the node's very end
    CTempDir dir;
    const auto block = Block(u"080404B0", {byteCounted, overlong, overlongNoNul, TextNode(u"Next", u"not this")});
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block).bytes), (VersionResult{"1", "desc", "bytes", "", "9.9"}));
    const auto sparse = Block(u"080404b0", {TextNode(u"CompanyName", u""), unpadded, TextNode(u"FileVersion", u"2.0")});
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(sparse).bytes), (VersionResult{"1", "", "", "ABC", "2.0"}));

    VersionNode root = StandardVersionInfo(u"080404b0", FourStrings(), TranslationBytes({{0x0804, 0x04B0}}));
    root.children[0].children[0].text = u"abc";  // a table with a text value of its own, typed 2
    root.children[0].children[0].type = 2;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(SerializeVersionBlock(root)).bytes), kFourStrings);
}

#ifndef _WIN32
// The block of the language Windows' resource loader takes for the user's language, which on
// Linux comes from the variables gettext reads for messages (Windows asks the system).
TEST(VersionStrings, TheBlockIsChosenByTheUsersLanguage)
{
    const std::tuple<std::vector<std::uint16_t>, const char*, const char*, char> cases[] = {
        {{0x0409, 0x0804}, nullptr, "zh_CN.UTF-8", '1'},
        {{0x0409, 0x0804}, nullptr, "en_US.UTF-8", '0'},
        {{0x0804, 0x0409}, nullptr, "de_DE.UTF-8", '1'},
        {{0x0804, 0x0409}, nullptr, "C", '1'},
        {{0x0804, 0x0409}, "", "zh_CN", '0'},              // an empty variable counts as unset
        {{0x0409, 0x0804}, "zh_CN.GB2312", "en_US", '1'},  // LC_ALL first
        {{0x0411, 0x0804}, nullptr, "en_US.UTF-8", '0'},   // none of the order: the first entry
        {{0x0409, 0x0404, 0x0804}, nullptr, "zh_HK.UTF-8", '1'},  // the default sublanguage
        {{0x0804, 0x0409, 0x0000}, nullptr, "zh_CN.UTF-8", '2'},  // neutral wins for everyone
    };
    CTempDir dir;
    for (const auto& [languages, lcAll, lang, shown] : cases) {
        PeImageOptions options;
        for (const std::uint16_t language : languages)  // each block's product is its place in the list
            options.languages.push_back({language, Block(u"080404b0", {TextNode(u"ProductName", std::u16string(1, static_cast<char16_t>(u'0' + options.languages.size())))})});
        lcAll ? setenv("LC_ALL", lcAll, 1) : unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", lang, 1);
        EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(options).bytes)[3], std::string(1, shown)) << lang;
    }
    unsetenv("LC_ALL");
    unsetenv("LANG");
}
#endif

TEST(VersionStrings, FilesWithoutAVersionResourceGiveZero)
{
    CTempDir dir;
    PeImageOptions otherType;
    otherType.versionType = 3;  // an icon, not a version resource
    otherType.languages = {{0x0409, Block(u"080404b0", FourStrings())}};
    PeImageOptions otherName = otherType;
    otherName.versionType = 16;
    otherName.versionName = 2;  // only name 1 counts, as on Windows
    const std::vector<unsigned char> elf = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const auto& bytes : {BuildPeImage(otherType).bytes, BuildPeImage(otherName).bytes, elf, std::vector<unsigned char>{'M', 'Z'}, {}})
        EXPECT_EQ(ReadVersionOf(dir, bytes), kNoVersion) << bytes.size();
    EXPECT_EQ(ReadVersionOf(dir.File("missing.exe")), kNoVersion);
    EXPECT_EQ(ReadVersionOf(dir.Path()), kNoVersion);
}

}  // namespace
