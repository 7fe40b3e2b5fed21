// The version reader: the strings a file shows, the PE walk that finds its block, and the
// block parser's paths, over PE images built for each case.
#include "version/VersionStrings.h"
#include "tests/support/PeImageBuilder.h"
#include "tests/support/TestFiles.h"
#include "version/VersionBlock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

// The fuzz entry: it aborts on a broken promise about the outputs (result 0 means four empty
// strings; every string is UTF-8 without NUL).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// What ReadVersionStrings gave for one file: the result, then the description, company,
// product and file version.
using VersionResult = std::vector<std::string>;
const VersionResult kNoVersion{"0", "", "", "", ""};
const VersionResult kEmptyVersion{"1", "", "", "", ""};

VersionResult VersionOfFile(const std::string& path)
{
    VersionResult r(5, "stale");
    r[0] = std::to_string(ReadVersionStrings(path, r[1], r[2], r[3], r[4]));
    return r;
}

// The same for an image, written to a scratch file first.
VersionResult VersionOf(const Bytes& image)
{
    static const CTempDir dir;
    WriteBytes(dir.File("image.exe"), image);
    return VersionOfFile(dir.File("image.exe"));
}

Bytes Block(std::u16string table, std::vector<VersionNode> strings, std::optional<Bytes> translation = TranslationBytes({{0x0804, 0x04B0}}))
{
    return SerializeVersionBlock(StandardVersionInfo(std::move(table), std::move(strings), std::move(translation)));
}

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
    const std::tuple<const char*, std::u16string, std::optional<Bytes>, VersionResult> cases[] = {
        {"lower-case key", u"080404b0", TranslationBytes({{0x0804, 0x04B0}}), kFourStrings},
        {"upper-case key", u"080404B0", TranslationBytes({{0x0804, 0x04B0}}), kFourStrings},
        {"only the first entry counts", u"080404b0", TranslationBytes({{0x0409, 0x04B0}, {0x0804, 0x04B0}}), kEmptyVersion},
        {"no Translation", u"080404b0", std::nullopt, kEmptyVersion},
        {"empty Translation", u"080404b0", Bytes{}, kEmptyVersion},
        {"Translation of 2 bytes", u"080404b0", Bytes{0x04, 0x08}, kEmptyVersion},
    };
    for (const auto& [what, table, translation, expected] : cases)
        for (const bool pe32Plus : {false, true})
            EXPECT_EQ(VersionOf(BuildPeImage(Block(table, FourStrings(), translation), pe32Plus)), expected)
                << what << (pe32Plus ? ", PE32+" : "");
}

TEST(VersionStrings, TopBitLanguageLooksUpThreeStringsUnderUsEnglish)
{
    VersionNode root = StandardVersionInfo(u"880404B0", {TextNode(u"FileVersion", u"own pair"), TextNode(u"ProductName", u"wrong")},
                                           TranslationBytes({{0x8804, 0x04B0}}));
    root.children[0].children.push_back(
        BlockNode(u"040904E4", {TextNode(u"FileDescription", u"desc"), TextNode(u"CompanyName", u"company"),
                                TextNode(u"ProductName", u"product"), TextNode(u"FileVersion", u"not this one")}));
    EXPECT_EQ(VersionOf(BuildPeImage(SerializeVersionBlock(root))), (VersionResult{"1", "desc", "company", "product", "own pair"}));
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
    const auto block = Block(u"080404B0", {byteCounted, overlong, overlongNoNul, TextNode(u"Next", u"not this")});
    EXPECT_EQ(VersionOf(BuildPeImage(block)), (VersionResult{"1", "desc", "bytes", "", "9.9"}));
    const auto sparse = Block(u"080404b0", {TextNode(u"CompanyName", u""), unpadded, TextNode(u"FileVersion", u"2.0")});
    EXPECT_EQ(VersionOf(BuildPeImage(sparse)), (VersionResult{"1", "", "", "ABC", "2.0"}));

    VersionNode root = StandardVersionInfo(u"080404b0", FourStrings(), TranslationBytes({{0x0804, 0x04B0}}));
    root.children[0].children[0].text = u"abc";  // a table with a text value of its own, typed 2
    root.children[0].children[0].type = 2;
    EXPECT_EQ(VersionOf(BuildPeImage(SerializeVersionBlock(root))), kFourStrings);
}

#ifndef _WIN32
// The block of the language Windows' resource loader takes for the user's language, which on
// Linux comes from the variables gettext reads for messages (Windows asks the system).
TEST(VersionStrings, TheBlockIsChosenByTheUsersLanguage)
{
    // The blocks' languages in the file, LC_ALL and LANG (nullptr: unset), the block shown.
    const std::tuple<const char*, std::vector<std::uint16_t>, const char*, const char*, char> rows[] = {
        {"user-chinese", {0x0409, 0x0804}, nullptr, "zh_CN.UTF-8", '1'},
        {"user-english", {0x0409, 0x0804}, nullptr, "en_US.UTF-8", '0'},
        {"empty-lc-all-is-unset", {0x0804, 0x0409}, "", "zh_CN", '0'},
        {"lc-all-first", {0x0409, 0x0804}, "zh_CN.GB2312", "en_US", '1'},
        {"none-of-the-order-takes-the-first", {0x0411, 0x0804}, nullptr, "en_US.UTF-8", '0'},
        {"default-sublanguage", {0x0409, 0x0404, 0x0804}, nullptr, "zh_HK.UTF-8", '1'},
        {"neutral-wins-for-everyone", {0x0804, 0x0409, 0x0000}, nullptr, "zh_CN.UTF-8", '2'},
        {"no-language-no-step-of-its-own", {0x0001, 0x0409}, nullptr, nullptr, '1'},
    };
    for (const auto& [name, languages, lcAll, lang, shown] : rows) {
        PeImageOptions options;
        for (const std::uint16_t language : languages) {  // each block's product is its place in the list
            const std::u16string place(1, static_cast<char16_t>(u'0' + options.languages.size()));
            options.languages.push_back({language, Block(u"080404b0", {TextNode(u"ProductName", place)})});
        }
        lcAll ? setenv("LC_ALL", lcAll, 1) : unsetenv("LC_ALL");
        unsetenv("LC_MESSAGES");
        lang ? setenv("LANG", lang, 1) : unsetenv("LANG");
        EXPECT_EQ(VersionOf(BuildPeImage(options))[3], std::string(1, shown)) << name;
    }
}
#endif

Bytes GoodBlock() { return Block(u"080404b0", {TextNode(u"ProductName", u"product")}); }
const VersionResult kProductOnly{"1", "", "", "product", ""};

TEST(MalformedPe, EveryTruncationGivesZeroOrTheWholeAnswer)
{
    const Bytes image = BuildPeImage(GoodBlock());
    for (std::size_t length = 0; length < image.size(); ++length) {
        const VersionResult result = VersionOf(Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_TRUE(result == kNoVersion || result == kProductOnly) << length;
    }
}

// Each row breaks the image around GoodBlock() with dword pokes at file offsets. Offsets past the
// end are refused; counts and sizes that claim more than is there are read only as far as it
// goes; a data entry's Size past the end is forgiven when the block, by its own wLength, lies whole
// inside, but an RVA in a section's zero-filled tail is not; only type 16, name 1 is a version
// resource; a tree that loops or a node that does not advance ends the walk.
TEST(MalformedPe, BrokenFieldsGiveZeroOrWhatLiesWholeInside)
{
    const std::size_t pe = PeLayout::kPeHeader, section = PeLayout::kSectionHeader, tree = PeLayout::kResourceFileOffset;
    const std::size_t dataEntry = tree + PeLayout::kFirstDataEntry, block = dataEntry + 16;
    const std::pair<std::size_t, std::uint32_t> pastRawData = {section + 8, 0x20000};  // a virtual size far past the raw data
    const auto blockSize = static_cast<std::uint32_t>(GoodBlock().size());
    const std::tuple<const char*, std::vector<std::pair<std::size_t, std::uint32_t>>, VersionResult> cases[] = {
        {"PE header offset", {{0x3C, 0xFFFFFFF0}}, kNoVersion},
        {"section count", {{pe + 4, 0xFFFF014C}}, kNoVersion},  // 65,535 headers the file does not hold
        {"optional header size", {{pe + 20, 0x0102FFFF}}, kNoVersion},
        {"resource RVA outside every section", {{pe + 24 + 96 + 16, 0x00900000}}, kNoVersion},
        {"section raw data offset", {{section + 20, 0xFFFFFE00}}, kNoVersion},
        {"section raw data ending inside the tree", {{section + 16, 0x10}}, kNoVersion},
        {"type subdirectory", {{tree + PeLayout::kRootEntry + 4, 0x8FFFFFF0}}, kNoVersion},
        {"name subdirectory", {{tree + PeLayout::kTypeEntry + 4, 0x80010000}}, kNoVersion},
        {"data entry", {{tree + PeLayout::kNameDirectory + 16 + 4, 0x7FFFFFF0}}, kNoVersion},
        {"huge entry counts", {{tree + PeLayout::kTypeDirectory + 12, 0xFFFFFFFF}}, kProductOnly},
        {"huge section", {{section + 16, 0xFFFFFFFF}}, kProductOnly},
        {"size past the file, block inside", {pastRawData, {dataEntry + 4, 0x7FFFFFFF}}, kProductOnly},
        {"size past the section, block inside", {pastRawData, {dataEntry + 4, blockSize + 0x1000}}, kProductOnly},
        {"size past the file, block too", {pastRawData, {dataEntry + 4, 0x7FFFFFFF}, {block, 0x0034FFFF}}, kNoVersion},
        {"root longer than its entry", {pastRawData, {block, 0x0034FFFF}}, kProductOnly},  // reads stay inside the block
        {"block in the zero-filled tail", {pastRawData, {dataEntry, PeLayout::kResourceRva + 0x10000}}, kNoVersion},
        {"an icon, not a version resource", {{tree + PeLayout::kRootEntry, 3}}, kNoVersion},
        {"name 2: only name 1 counts, as on Windows", {{tree + PeLayout::kTypeEntry, 2}}, kNoVersion},
        {"the name level points back at the root", {{tree + PeLayout::kTypeEntry + 4, 0x80000000}}, kNoVersion},
        {"the name level points back at itself", {{tree + PeLayout::kTypeEntry + 4, 0x80000000 | PeLayout::kTypeDirectory}}, kNoVersion},
        {"StringFileInfo of length 0", {{block + 6 + 2 * 16 + 2 + 52, 0}}, kEmptyVersion},  // header, key, fixed info
    };
    for (const auto& [what, pokes, expected] : cases) {
        Bytes image = BuildPeImage(GoodBlock());
        for (const auto& [at, value] : pokes)
            Poke32(image, at, value);
        EXPECT_EQ(VersionOf(image), expected) << what;
    }
    PeImageOptions flood;  // named types that must not hide the numbered one
    flood.namedTypeEntries = 5000;
    flood.languages = {{0x0804, GoodBlock()}};
    EXPECT_EQ(VersionOf(BuildPeImage(flood)), kProductOnly);
    EXPECT_EQ(VersionOfFile("/nonexistent/missing.exe"), kNoVersion);
    EXPECT_EQ(VersionOfFile("/"), kNoVersion);
}

CVersionBlock Parsed(const Bytes& bytes) { return CVersionBlock(CBoundedBuffer(bytes.data(), bytes.size())); }

// Paths as Windows reads them: any case, doubled and trailing separators; the root names the
// fixed file information; a binary value's length is in bytes.
TEST(VersionBlock, SubBlockPathsFollowTheWindowsRules)
{
    const Bytes bytes = SerializeVersionBlock(StandardVersionInfo(
        u"080404b0", {TextNode(u"ProductName", u"产品"), TextNode(u"ProductNameX", u"other")}, TranslationBytes({{0x0804, 0x04B0}})));
    const CVersionBlock block = Parsed(bytes);
    const std::pair<const char*, bool> paths[] = {
        {"\\StringFileInfo\\080404b0\\ProductName", true},       {"StringFileInfo\\080404B0\\productname", true},
        {"\\\\StringFileInfo\\\\080404B0\\ProductName\\", true}, {"\\StringFileInfo\\080404b0\\Product", false},
        {"\\StringFile\\080404b0\\ProductName", false},          {"\\StringFileInfo\\080404b0\\ProductName\\More", false},
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

// The committed fuzz corpus, fed to the fuzz entry: a replay that returns kept its promises.
TEST(VersionFuzzReplay, TheCommittedCorpusKeepsTheOutputsPromises)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZANFO_FUZZ_CORPUS_DIR)) {
        const std::string bytes = ReadFile(entry.path().u8string());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 100);
}

}  // namespace
