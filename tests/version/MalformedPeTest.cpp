#include "VersionTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::vector<unsigned char> GoodBlock()
{
    return SerializeVersionBlock(StandardVersionInfo(u"080404b0", {TextNode(u"ProductName", u"product")},
                                                     TranslationBytes({{0x0804, 0x04B0}})));
}

const VersionResult kProductOnly{1, "", "", "product", ""};

TEST(MalformedPe, EveryTruncationGivesZeroOrTheWholeAnswer)
{
    CTempDir dir;
    const PeImage image = BuildPeImage(GoodBlock());
    for (std::size_t length = 0; length < image.bytes.size(); ++length) {
        const std::vector<unsigned char> cut(image.bytes.begin(), image.bytes.begin() + static_cast<std::ptrdiff_t>(length));
        const VersionResult result = ReadVersionOf(dir, cut);
        EXPECT_TRUE(result == kNoVersion || result == kProductOnly) << length << ": " << result;
    }
}

TEST(MalformedPe, OffsetsPastTheEndAreRefused)
{
    struct Case {
        const char* what;
        std::size_t fileOffset;  // from the start of the file, or of the resource tree
        bool inResource;
        std::uint32_t value;
    };
    const std::size_t pe = PeImage::kPeHeaderOffset;
    const std::size_t section = pe + 24 + 224;
    const Case cases[] = {
        {"PE header offset", 0x3C, false, 0xFFFFFFF0},
        {"section count", pe + 4, false, 0xFFFF014C},  // 65,535 section headers the file does not hold
        {"optional header size", pe + 20, false, 0x0102FFFF},
        {"resource RVA outside every section", pe + 24 + 96 + 16, false, 0x00900000},
        {"section raw data offset", section + 20, false, 0xFFFFFE00},
        {"section raw data ending inside the tree", section + 16, false, 0x10},
        {"type subdirectory", PeImage::kRootEntry + 4, true, 0x8FFFFFF0},
        {"name subdirectory", PeImage::kTypeEntry + 4, true, 0x80010000},
        {"data entry", PeImage::kNameDirectory + 16 + 4, true, 0x7FFFFFF0},
    };
    CTempDir dir;
    for (const Case& c : cases) {
        PeImage image = BuildPeImage(GoodBlock());
        if (c.inResource)
            image.PokeResource32(c.fileOffset, c.value);
        else
            image.Poke32(c.fileOffset, c.value);
        EXPECT_EQ(ReadVersionOf(dir, image.bytes), kNoVersion) << c.what;
    }

    // Counts and sizes that claim more than the file holds are read only as far as it goes.
    PeImage hugeCounts = BuildPeImage(GoodBlock());
    hugeCounts.PokeResource32(PeImage::kTypeDirectory + 12, 0xFFFFFFFF);
    EXPECT_EQ(ReadVersionOf(dir, hugeCounts.bytes), kProductOnly);
    PeImage hugeSection = BuildPeImage(GoodBlock());
    hugeSection.Poke32(section + 16, 0xFFFFFFFF);
    EXPECT_EQ(ReadVersionOf(dir, hugeSection.bytes), kProductOnly);
}

// A data entry's Size that runs past what is there is forgiven when the block, by its own
// wLength, lies whole inside; an RVA past a section's raw data (its zero-filled tail) is not.
TEST(MalformedPe, BlockSizesAndPlacesThatOverreach)
{
    struct Case {
        const char* what;
        std::uint32_t dataSize;  // 0: as built
        std::uint32_t rvaShift;
        std::uint16_t rootLength;  // 0: as built
        VersionResult expected;
    };
    const std::uint32_t blockSize = static_cast<std::uint32_t>(GoodBlock().size());
    const Case cases[] = {
        {"size past the file, block inside", 0x7FFFFFFF, 0, 0, kProductOnly},
        {"size past the section, block inside", blockSize + 0x1000, 0, 0, kProductOnly},
        {"size past the file, block too", 0x7FFFFFFF, 0, 0xFFFF, kNoVersion},
        {"block in the zero-filled tail", 0, 0x10000, 0, kNoVersion},
        // The root node claims more than the block holds: reads stay inside the block.
        {"root longer than its entry", 0, 0, 0xFFFF, kProductOnly},
    };
    CTempDir dir;
    for (const Case& c : cases) {
        std::vector<unsigned char> block = GoodBlock();
        if (c.rootLength) {
            block[0] = static_cast<unsigned char>(c.rootLength);
            block[1] = static_cast<unsigned char>(c.rootLength >> 8);
        }
        PeImage image = BuildPeImage(block);
        const std::size_t section = PeImage::kPeHeaderOffset + 24 + 224;
        image.Poke32(section + 8, 0x20000);  // a virtual size far past the raw data
        if (c.dataSize)
            image.PokeResource32(image.firstDataEntry + 4, c.dataSize);
        if (c.rvaShift)
            image.PokeResource32(image.firstDataEntry, PeImage::kResourceRva + c.rvaShift);
        EXPECT_EQ(ReadVersionOf(dir, image.bytes), c.expected) << c.what;
    }
}

TEST(MalformedPe, AFloodOfNamedTypesDoesNotHideTheNumberedOnes)
{
    PeImageOptions options;
    options.namedTypeEntries = 5000;
    options.languages = {{0x0804, GoodBlock()}};
    CTempDir dir;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(options).bytes), kProductOnly);
}

TEST(MalformedPe, CyclesInTheResourceTreeEndTheWalk)
{
    CTempDir dir;
    PeImage toRoot = BuildPeImage(GoodBlock());
    toRoot.PokeResource32(PeImage::kTypeEntry + 4, 0x80000000);  // the name level points back at the root
    EXPECT_EQ(ReadVersionOf(dir, toRoot.bytes), kNoVersion);

    PeImage toItself = BuildPeImage(GoodBlock());
    toItself.PokeResource32(PeImage::kTypeEntry + 4, 0x80000000 | PeImage::kTypeDirectory);
    EXPECT_EQ(ReadVersionOf(dir, toItself.bytes), kNoVersion);
}

TEST(MalformedPe, NodesWithZeroLengthEndTheWalkWithoutHanging)
{
    CTempDir dir;
    std::vector<unsigned char> block = GoodBlock();
    // The first child of the root (StringFileInfo) gets wLength 0: nothing below it is found,
    // and the walk does not spin on the same offset.
    const std::size_t firstChild = 6 + 2 * 16 + 2 + 52;  // header, key with NUL and padding, fixed info
    block[firstChild] = 0;
    block[firstChild + 1] = 0;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block).bytes), kEmptyVersion);
}

}  // namespace
