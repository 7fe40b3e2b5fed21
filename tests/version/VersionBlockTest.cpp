#include "PeImageBuilder.h"
#include "VersionBlock.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionBlock, SubBlockPathsFollowTheWindowsRules)
{
    const std::vector<unsigned char> bytes = SerializeVersionBlock(StandardVersionInfo(
        u"080404b0", {TextNode(u"ProductName", u"产品"), TextNode(u"ProductNameX", u"other")},
        TranslationBytes({{0x0804, 0x04B0}})));
    const CVersionBlock block(CBoundedBuffer(bytes.data(), bytes.size()));

    std::string text;
    for (const char* path : {"\\StringFileInfo\\080404b0\\ProductName", "StringFileInfo\\080404B0\\productname",
                             "\\\\StringFileInfo\\\\080404B0\\ProductName\\"}) {
        text.clear();
        EXPECT_TRUE(block.QueryText(path, text)) << path;
        EXPECT_EQ(text, "产品") << path;
    }
    for (const char* path : {"\\StringFileInfo\\080404b0\\Product", "\\StringFile\\080404b0\\ProductName",
                             "\\StringFileInfo\\080404b0\\ProductName\\More"})
        EXPECT_FALSE(block.QueryText(path, text)) << path;

    CBoundedBuffer value;
    ASSERT_TRUE(block.QueryBinary("\\", value)) << "the root names the fixed file information";
    std::uint32_t signature = 0;
    EXPECT_TRUE(value.ReadU32(0, signature));
    EXPECT_EQ(signature, 0xFEEF04BDu);
    EXPECT_EQ(value.Size(), 52u);

    ASSERT_TRUE(block.QueryBinary("\\VarFileInfo\\Translation", value));
    EXPECT_EQ(value.Size(), 4u) << "a binary length is in bytes";
}

TEST(VersionBlock, SurrogatePairsAndLoneSurrogatesBecomeUtf8)
{
    const std::vector<unsigned char> bytes = SerializeVersionBlock(StandardVersionInfo(
        u"040904b0", {TextNode(u"A", u"\U0001F600"), TextNode(u"B", std::u16string(1, char16_t(0xD800)) + u"x")},
        std::nullopt));
    const CVersionBlock block(CBoundedBuffer(bytes.data(), bytes.size()));
    std::string text;
    EXPECT_TRUE(block.QueryText("StringFileInfo\\040904b0\\A", text));
    EXPECT_EQ(text, "\xF0\x9F\x98\x80");
    EXPECT_TRUE(block.QueryText("StringFileInfo\\040904b0\\B", text));
    EXPECT_EQ(text, "\xEF\xBF\xBDx");
}

}  // namespace
