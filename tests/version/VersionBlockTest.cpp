#include "PeImageBuilder.h"
#include "VersionBlock.h"

#include <gtest/gtest.h>

namespace {

CVersionBlock Parsed(const std::vector<unsigned char>& bytes)
{
    return CVersionBlock(CBoundedBuffer(bytes.data(), bytes.size()));
}

// Paths as Windows reads them: any case, doubled and trailing separators; the root names the
// fixed file information; a binary value's length is in bytes.
TEST(VersionBlock, SubBlockPathsFollowTheWindowsRules)
{
    const std::vector<unsigned char> bytes = SerializeVersionBlock(StandardVersionInfo(
        u"080404b0", {TextNode(u"ProductName", u"产品"), TextNode(u"ProductNameX", u"other")}, TranslationBytes({{0x0804, 0x04B0}})));
    const CVersionBlock block = Parsed(bytes);
    const std::pair<const char*, bool> paths[] = {
        {"\\StringFileInfo\\080404b0\\ProductName", true},         {"StringFileInfo\\080404B0\\productname", true},
        {"\\\\StringFileInfo\\\\080404B0\\ProductName\\", true},   {"\\StringFileInfo\\080404b0\\Product", false},
        {"\\StringFile\\080404b0\\ProductName", false},           {"\\StringFileInfo\\080404b0\\ProductName\\More", false},
    };
    for (const auto& [path, found] : paths) {
        std::string text;
        EXPECT_EQ(block.QueryText(path, text) ? text : "-", found ? "产品" : "-") << path;
    }
    CBoundedBuffer value;
    std::uint32_t signature = 0;
    EXPECT_TRUE(block.QueryBinary("\\", value) && value.ReadU32(0, signature) && value.Size() == 52);
    EXPECT_EQ(signature, 0xFEEF04BDu);
    EXPECT_TRUE(block.QueryBinary("\\VarFileInfo\\Translation", value) && value.Size() == 4);
}

TEST(VersionBlock, SurrogatePairsAndLoneSurrogatesBecomeUtf8)
{
    const std::vector<unsigned char> bytes = SerializeVersionBlock(StandardVersionInfo(
        u"040904b0", {TextNode(u"A", u"\U0001F600"), TextNode(u"B", std::u16string(1, char16_t(0xD800)) + u"x")}, std::nullopt));
    std::string a, b;
    EXPECT_TRUE(Parsed(bytes).QueryText("StringFileInfo\\040904b0\\A", a) && Parsed(bytes).QueryText("StringFileInfo\\040904b0\\B", b));
    EXPECT_EQ(a + "|" + b, "\xF0\x9F\x98\x80|\xEF\xBF\xBDx");
}

}  // namespace
