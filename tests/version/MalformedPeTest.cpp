#include "VersionTestSupport.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

std::vector<unsigned char> GoodBlock()
{
    return Block(u"080404b0", {TextNode(u"ProductName", u"product")});
}
const VersionResult kProductOnly{"1", "", "", "product", ""};

TEST(MalformedPe, EveryTruncationGivesZeroOrTheWholeAnswer)
{
    CTempDir dir;
    const std::vector<unsigned char> image = BuildPeImage(GoodBlock()).bytes;
    for (std::size_t length = 0; length < image.size(); ++length) {
        const VersionResult result = ReadVersionOf(dir, std::vector<unsigned char>(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length)));
        EXPECT_TRUE(result == kNoVersion || result == kProductOnly) << length;
    }
}

// Offsets that point past the end are refused; counts and sizes that claim more than the file
// holds are read only as far as it goes.
TEST(MalformedPe, OffsetsCountsAndSizesPastTheEnd)
{
    const std::size_t pe = PeImage::kPeHeader, section = PeImage::kSectionHeader, tree = PeImage::kResourceFileOffset;
    const std::tuple<const char*, std::size_t, std::uint32_t, VersionResult> cases[] = {
        {"PE header offset", 0x3C, 0xFFFFFFF0, kNoVersion},
        {"section count", pe + 4, 0xFFFF014C, kNoVersion},  // 65,535 headers the file does not hold
        {"optional header size", pe + 20, 0x0102FFFF, kNoVersion},
        {"resource RVA outside every section", pe + 24 + 96 + 16, 0x00900000, kNoVersion},
        {"section raw data offset", section + 20, 0xFFFFFE00, kNoVersion},
        {"section raw data ending inside the tree", section + 16, 0x10, kNoVersion},
        {"type subdirectory", tree + PeImage::kRootEntry + 4, 0x8FFFFFF0, kNoVersion},
        {"name subdirectory", tree + PeImage::kTypeEntry + 4, 0x80010000, kNoVersion},
        {"data entry", tree + PeImage::kNameDirectory + 16 + 4, 0x7FFFFFF0, kNoVersion},
        {"huge entry counts", tree + PeImage::kTypeDirectory + 12, 0xFFFFFFFF, kProductOnly},
        {"huge section", section + 16, 0xFFFFFFFF, kProductOnly},
    };
    CTempDir dir;
    for (const auto& [what, offset, value, expected] : cases) {
        PeImage image = BuildPeImage(GoodBlock());
        image.Poke32(offset, value);
        EXPECT_EQ(ReadVersionOf(dir, image.bytes), expected) << what;
    }
}

// A data entry's Size that runs past what is there is forgiven when the block, by its own
// wLength, lies whole inside; an RVA past a section's raw data (its zero-filled tail) is not.
TEST(MalformedPe, BlockSizesAndPlacesThatOverreach)
{
    const auto blockSize = static_cast<std::uint32_t>(GoodBlock().size());
    // The data entry's size (0: as built), its RVA moved on, the root node's wLength (0: as built).
    const std::tuple<const char*, std::uint32_t, std::uint32_t, unsigned char, VersionResult> cases[] = {
        {"size past the file, block inside", 0x7FFFFFFF, 0, 0, kProductOnly},
        {"size past the section, block inside", blockSize + 0x1000, 0, 0, kProductOnly},
        {"size past the file, block too", 0x7FFFFFFF, 0, 0xFF, kNoVersion},
        {"block in the zero-filled tail", 0, 0x10000, 0, kNoVersion},
        {"root longer than its entry", 0, 0, 0xFF, kProductOnly},  // reads stay inside the block
    };
    CTempDir dir;
    for (const auto& [what, dataSize, rvaShift, rootLengthHigh, expected] : cases) {
        std::vector<unsigned char> block = GoodBlock();
        if (rootLengthHigh)
            block[0] = block[1] = rootLengthHigh;
        PeImage image = BuildPeImage(block);
        image.Poke32(PeImage::kSectionHeader + 8, 0x20000);  // a virtual size far past the raw data
        if (dataSize)
            image.Poke32(PeImage::kResourceFileOffset + image.firstDataEntry + 4, dataSize);
        if (rvaShift)
            image.Poke32(PeImage::kResourceFileOffset + image.firstDataEntry, PeImage::kResourceRva + rvaShift);
        EXPECT_EQ(ReadVersionOf(dir, image.bytes), expected) << what;
    }
}

// Trees that loop, nodes that do not advance, and a flood of named types that must not hide the
// numbered ones.
TEST(MalformedPe, TheWalkEndsOnLoopsAndZeroLengthsAndSeesPastNamedEntries)
{
    CTempDir dir;
    for (const std::uint32_t target : {0x80000000u, 0x80000000u | static_cast<std::uint32_t>(PeImage::kTypeDirectory)}) {
        PeImage cycle = BuildPeImage(GoodBlock());
        cycle.Poke32(PeImage::kResourceFileOffset + PeImage::kTypeEntry + 4, target);  // the name level points back up
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
