#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// One node of a VS_VERSIONINFO tree, as a test describes it.
struct VersionNode {
    std::u16string key;
    bool isText = false;
    std::u16string text;  // a text value, written with its NUL
    Bytes binary;         // a binary value
    std::vector<VersionNode> children;
    std::optional<std::uint16_t> valueLength;  // what to store instead of the true wValueLength
    bool omitNul = false;                      // a text value that ends at the node's end, no NUL
    std::optional<std::uint16_t> type;         // what to store instead of wType 1 (text) or 0
};

VersionNode TextNode(std::u16string key, std::u16string text);
VersionNode BlockNode(std::u16string key, std::vector<VersionNode> children);

// Translation entries: (language, code page) pairs, little-endian.
Bytes TranslationBytes(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs);

// VS_VERSION_INFO with a fixed-info value, one string table and, when given, a Translation value.
VersionNode StandardVersionInfo(std::u16string tableKey, std::vector<VersionNode> strings, std::optional<Bytes> translation);

// Serialises a tree the way resource compilers do: 32-bit alignment from the block's start,
// wLength without trailing padding, text lengths in characters including the NUL.
Bytes SerializeVersionBlock(const VersionNode& root);

struct PeImageOptions {
    bool pe32Plus = false;
    std::uint16_t namedTypeEntries = 0;  // named entries in the root ahead of the numbered one
    // Language entries of the version resource, each with its own block.
    std::vector<std::pair<std::uint16_t, Bytes>> languages;
};

// A minimal PE image whose one section holds a resource tree with the version resource; with
// one block, in language 0x0804.
Bytes BuildPeImage(const PeImageOptions& options);
Bytes BuildPeImage(const Bytes& versionBlock, bool pe32Plus = false);

// Where things lie in a PE32 image built with no named entries, for tests that break them.
namespace PeLayout {
constexpr std::size_t kPeHeader = 0x40, kSectionHeader = kPeHeader + 24 + 224, kResourceFileOffset = 0x200;
constexpr std::uint32_t kResourceRva = 0x1000;
// Offsets inside the resource tree; the first data entry is that of an image with one block.
constexpr std::size_t kRootEntry = 16, kTypeDirectory = 24, kTypeEntry = 40, kNameDirectory = 48, kFirstDataEntry = 72;
}  // namespace PeLayout

// Overwrites the little-endian dword at a file offset.
void Poke32(Bytes& image, std::size_t at, std::uint32_t value);

// A PE32 file whose version resource holds the four strings the program shows, in a 080404b0
// table named by its translation.
Bytes PeFileWithVersionStrings(std::u16string description, std::u16string company, std::u16string product, std::u16string fileVersion);
