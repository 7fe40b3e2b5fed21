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

// Offsets that point past the end are refused; counts and sizes that claim more than the
// file holds are read only as far as it goes.
TEST(MalformedPe, OffsetsCountsAndSizesPastTheEnd)
{
    struct Case {
        const char* what;
        std::size_t offset;  // in the file, or (inResource) in the resource tree
        bool inResource;
        std::uint32_t value;
        VersionResult expected;
    };
    const std::size_t pe = PeImage::kPeHeader, section = PeImage::kSectionHeader;
    const Case cases[] = {
        {"PE header offset", 0x3C, false, 0xFFFFFFF0, kNoVersion},
        {"section count", pe + 4, false, 0xFFFF014C, kNoVersion},  // 65,535 headers the file does not hold
        {"optional header size", pe + 20, false, 0x0102FFFF, kNoVersion},
        {"resource RVA outside every section", pe + 24 + 96 + 16, false, 0x00900000, kNoVersion},
        {"section raw data offset", section + 20, false, 0xFFFFFE00, kNoVersion},
        {"section raw data ending inside the tree", section + 16, false, 0x10, kNoVersion},
        {"type subdirectory", PeImage::kRootEntry + 4, true, 0x8FFFFFF0, kNoVersion},
        {"name subdirectory", PeImage::kTypeEntry + 4, true, 0x80010000, kNoVersion},
        {"data entry", PeImage::kNameDirectory + 16 + 4, true, 0x7FFFFFF0, kNoVersion},
        {"huge entry counts", PeImage::kTypeDirectory + 12, true, 0xFFFFFFFF, kProductOnly},
        {"huge section", section + 16, false, 0xFFFFFFFF, kProductOnly},
    };
    CTempDir dir;
    for (const Case& c : cases) {
        PeImage image = BuildPeImage(GoodBlock());
        image.Poke32(c.offset + (c.inResource ? PeImage::kResourceFileOffset : 0), c.value);
        EXPECT_EQ(ReadVersionOf(dir, image.bytes), c.expected) << c.what;
    }
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
        image.Poke32(PeImage::kSectionHeader + 8, 0x20000);  // a virtual size far past the raw data
        if (c.dataSize)
            image.PokeResource32(image.firstDataEntry + 4, c.dataSize);
        if (c.rvaShift)
            image.PokeResource32(image.firstDataEntry, PeImage::kResourceRva + c.rvaShift);
        EXPECT_EQ(ReadVersionOf(dir, image.bytes), c.expected) << c.what;
    }
}

// Trees that loop, nodes that do not advance, and a flood of named types that must not hide
// the numbered ones.
TEST(MalformedPe, TheWalkEndsOnLoopsAndZeroLengthsAndSeesPastNamedEntries)
{
    CTempDir dir;
    for (const std::uint32_t target : {0x80000000u, 0x80000000u | static_cast<std::uint32_t>(PeImage::kTypeDirectory)}) {
        PeImage cycle = BuildPeImage(GoodBlock());
        cycle.PokeResource32(PeImage::kTypeEntry + 4, target);  // the name level points back up
        EXPECT_EQ(ReadVersionOf(dir, cycle.bytes), kNoVersion) << target;
    }
    // The root's first child (StringFileInfo) gets wLength 0: nothing below it is found.
    std::vector<unsigned char> block = GoodBlock();
    const std::size_t firstChild = 6 + 2 * 16 + 2 + 52;  // header, key with NUL and padding, fixed info
    block[firstChild] = block[firstChild + 1] = 0;
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(block).bytes), kEmptyVersion);

    PeImageOptions flood;
    flood.namedTypeEntries = 5000;
    flood.languages = {{0x0804, GoodBlock()}};
    EXPECT_EQ(ReadVersionOf(dir, BuildPeImage(flood).bytes), kProductOnly);
}

}  // namespace
