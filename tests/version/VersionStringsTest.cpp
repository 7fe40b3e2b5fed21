#include "VersionTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::vector<VersionNode> FourStrings()
{
    return {TextNode(u"CompanyName", u"赞佛软件"), TextNode(u"FileDescription", u"Zanfo文件诊所MD5值计算工具"),
            TextNode(u"FileVersion", u"1, 1, 0, 0beta"), TextNode(u"ProductName", u"MD5值计算工具 ")};
}

std::vector<unsigned char> Block(std::u16string table, std::vector<VersionNode> strings,
                                 std::optional<std::vector<unsigned char>> translation)
{
    return SerializeVersionBlock(StandardVersionInfo(std::move(table), std::move(strings), std::move(translation)));
}

const VersionResult kFourStrings{1, "Zanfo文件诊所MD5值计算工具", "赞佛软件", "MD5值计算工具 ", "1, 1, 0, 0beta"};

TEST(VersionStrings, LowerCaseTableKeyIsFoundByBothSpellingsInPe32AndPe32Plus)
{
    CTempDir dir;
    const auto block = Block(u"080404b0", FourStrings(), TranslationBytes({{0x0804, 0x04B0}}));
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block, false).bytes), kFourStrings);
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block, true).bytes), kFourStrings);
}

TEST(VersionStrings, TopBitLanguageLooksUpThreeStringsUnderUsEnglish)
{
    VersionNode root = StandardVersionInfo(u"880404B0", {TextNode(u"FileVersion", u"own pair"), TextNode(u"ProductName", u"wrong")},
                                           TranslationBytes({{0x8804, 0x04B0}}));
    root.children[0].children.push_back(BlockNode(u"040904E4", {TextNode(u"FileDescription", u"desc"),
                                                                TextNode(u"CompanyName", u"company"),
                                                                TextNode(u"ProductName", u"product"),
                                                                TextNode(u"FileVersion", u"not this one")}));
    CTempDir dir;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(SerializeVersionBlock(root)).bytes),
              (VersionResult{1, "desc", "company", "product", "own pair"}));
}

TEST(VersionStrings, OnlyTheFirstTranslationEntryCounts)
{
    CTempDir dir;
    const auto block = Block(u"080404b0", FourStrings(), TranslationBytes({{0x0409, 0x04B0}, {0x0804, 0x04B0}}));
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block).bytes), kEmptyVersion);
}

TEST(VersionStrings, MissingOrShortTranslationGivesOneWithNothingFound)
{
    CTempDir dir;
    const std::optional<std::vector<unsigned char>> translations[] = {std::nullopt, std::vector<unsigned char>{},
                                                                      std::vector<unsigned char>{0x04, 0x08}};
    for (const auto& translation : translations)
        EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(Block(u"080404b0", FourStrings(), translation)).bytes), kEmptyVersion);
}

TEST(VersionStrings, MissingAndEmptyStringsStayEmpty)
{
    CTempDir dir;
    // ProductName absent; CompanyName empty with a sibling right behind it whose text must not leak in.
    const auto block = Block(u"080404b0",
                             {TextNode(u"CompanyName", u""), TextNode(u"FileDescription", u"desc"),
                              TextNode(u"FileVersion", u"2.0")},
                             TranslationBytes({{0x0804, 0x04B0}}));
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block).bytes), (VersionResult{1, "desc", "", "", "2.0"}));
}

TEST(VersionStrings, ValueLengthsAreNotTrustedPastTheNode)
{
    VersionNode byteCounted = TextNode(u"CompanyName", u"bytes");
    byteCounted.valueLength = 12;  // a byte count where characters belong
    VersionNode unpadded = TextNode(u"ProductName", u"ABC");
    unpadded.omitNul = true;  // the value runs to the node's very end
    VersionNode overlong = TextNode(u"FileDescription", u"desc");
    overlong.valueLength = 0xFFFF;
    VersionNode overlongNoNul = TextNode(u"FileVersion", u"9.9");
    overlongNoNul.valueLength = 0xFFFF;
    overlongNoNul.omitNul = true;  // clipped at its node's end, not read into the next node
    CTempDir dir;
    const auto block = Block(u"080404B0", {byteCounted, overlong, unpadded, overlongNoNul, TextNode(u"Next", u"not this")},
                             TranslationBytes({{0x0804, 0x04B0}}));
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block).bytes), (VersionResult{1, "desc", "bytes", "ABC", "9.9"}));

    // Any non-zero wType is text: a table with a text value of its own, typed 2, still has its
    // children where a text value's character count puts them.
    VersionNode root = StandardVersionInfo(u"080404b0", FourStrings(), TranslationBytes({{0x0804, 0x04B0}}));
    VersionNode& table = root.children[0].children[0];
    table.text = u"abc";
    table.type = 2;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(SerializeVersionBlock(root)).bytes), kFourStrings);
}

// The block of the language Windows' resource loader takes for this user's language, read from
// the variables gettext reads for messages.
TEST(VersionStrings, TheBlockIsChosenByTheUsersLanguage)
{
    struct Case {
        std::vector<std::uint16_t> languages;
        const char* lcAll;
        const char* lang;
        std::uint16_t shown;
    };
    const Case cases[] = {
        {{0x0409, 0x0804}, nullptr, "zh_CN.UTF-8", 0x0804},
        {{0x0409, 0x0804}, nullptr, "en_US.UTF-8", 0x0409},
        {{0x0804, 0x0409}, nullptr, "de_DE.UTF-8", 0x0409},
        {{0x0804, 0x0409}, nullptr, "C", 0x0409},
        {{0x0804, 0x0409}, "", "zh_CN", 0x0804},           // an empty variable counts as unset
        {{0x0409, 0x0804}, "zh_CN.GB2312", "en_US", 0x0804},  // LC_ALL first
        {{0x0411, 0x0804}, nullptr, "en_US.UTF-8", 0x0411},  // none of the order: the first entry
        {{0x0409, 0x0404, 0x0804}, nullptr, "zh_HK.UTF-8", 0x0404},  // the default sublanguage
        {{0x0804, 0x0409, 0x0000}, nullptr, "zh_CN.UTF-8", 0x0000},  // neutral wins for everyone
    };
    CTempDir dir;
    for (const Case& c : cases) {
        PeImageOptions options;
        for (const std::uint16_t language : c.languages) {
            char name[16];
            std::snprintf(name, sizeof name, "%04x", language);
            options.languages.push_back(
                {language, Block(u"080404b0", {TextNode(u"ProductName", std::u16string(name, name + 4))},
                                 TranslationBytes({{0x0804, 0x04B0}}))});
        }
        c.lcAll ? setenv("LC_ALL", c.lcAll, 1) : unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        setenv("LANG", c.lang, 1);
        char expected[16];
        std::snprintf(expected, sizeof expected, "%04x", c.shown);
        EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(options).bytes).product, expected) << c.lang;
    }
    unsetenv("LC_ALL");
    unsetenv("LANG");
}

TEST(VersionStrings, FilesWithoutAVersionResourceGiveZero)
{
    CTempDir dir;
    const auto block = Block(u"080404b0", FourStrings(), TranslationBytes({{0x0804, 0x04B0}}));
    PeImageOptions otherType;
    otherType.versionType = 3;  // an icon, not a version resource
    otherType.languages = {{0x0409, block}};
    PeImageOptions otherName = otherType;
    otherName.versionType = 16;
    otherName.versionName = 2;  // only name 1 counts, as on Windows
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(otherType).bytes), kNoVersion);
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(otherName).bytes), kNoVersion);

    const std::vector<unsigned char> elf = {0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<unsigned char> text = {'M', 'Z', ' ', 'i', 's', ' ', 'n', 'o', 't', ' ', 'e', 'n', 'o', 'u', 'g', 'h'};
    EXPECT_EQ(ReadVersionOf(dir, elf), kNoVersion);
    EXPECT_EQ(ReadVersionOf(dir, text), kNoVersion);
    EXPECT_EQ(ReadVersionOf(dir, {}), kNoVersion);
    EXPECT_EQ(ReadVersionOf(dir.File("missing.exe")), kNoVersion);
    EXPECT_EQ(ReadVersionOf(dir.Path()), kNoVersion);
}

}  // namespace
