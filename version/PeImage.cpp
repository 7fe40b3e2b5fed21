#include "version/PeImage.h"

#include "platform/FileAccess.h"
#include "platform/UiLanguage.h"
#include "version/BoundedBuffer.h"
#include "version/ResourceLanguage.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kDosMagic = 0x5A4D;     // "MZ"
constexpr std::uint32_t kPeSignature = 0x4550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
constexpr std::uint64_t kSectionHeaderSize = 40;
constexpr std::uint64_t kDirectoryHeaderSize = 16;
constexpr std::uint64_t kDirectoryEntrySize = 8;
constexpr std::uint64_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000;
constexpr std::uint32_t kVersionType = 16;  // RT_VERSION
constexpr std::uint32_t kVersionName = 1;   // VS_VERSION_INFO
// Far more than any real file has; a directory claiming more of either kind, named or
// numbered, is read only this far.
constexpr std::uint64_t kMaxDirectoryEntries = 4096;
// Headers plus 65,535 section headers stay below this.
constexpr std::uint64_t kMaxReadSize = 4 * 1048576;

CBoundedBuffer View(const std::vector<unsigned char>& bytes)
{
    return CBoundedBuffer(bytes.data(), bytes.size());
}

}  // namespace

CPeImage::CPeImage(const std::string& utf8Path)
{
    const zanfo::OpenedFile opened = zanfo::OpenRegularFile(utf8Path);
    m_file = opened.stream;
    m_fileSize = opened.size;
}

CPeImage::~CPeImage()
{
    if (m_file)
        std::fclose(m_file);
}

bool CPeImage::ReadBytes(std::uint64_t offset, std::uint64_t length, std::vector<unsigned char>& out) const
{
    if (!m_file || length > kMaxReadSize || offset > m_fileSize || length > m_fileSize - offset)
        return false;
    out.resize(static_cast<std::size_t>(length));
    return zanfo::ReadAt(m_file, offset, out.size(), out.data());
}

bool CPeImage::ReadHeaders(std::uint32_t& resourceRva)
{
    std::vector<unsigned char> bytes;
    std::uint16_t dosMagic = 0;
    std::uint32_t peOffset = 0;
    if (!ReadBytes(0, 64, bytes) || !View(bytes).ReadU16(0, dosMagic) || dosMagic != kDosMagic || !View(bytes).ReadU32(0x3C, peOffset))
        return false;

    std::uint32_t signature = 0;
    std::uint16_t sectionCount = 0, optionalHeaderSize = 0;
    if (!ReadBytes(peOffset, 24, bytes) || !View(bytes).ReadU32(0, signature) || signature != kPeSignature ||
        !View(bytes).ReadU16(6, sectionCount) || !View(bytes).ReadU16(20, optionalHeaderSize))
        return false;

    // The optional header and the section table that follows it.
    if (!ReadBytes(std::uint64_t(peOffset) + 24, optionalHeaderSize + sectionCount * kSectionHeaderSize, bytes))
        return false;
    CBoundedBuffer optional;
    std::uint16_t magic = 0;
    if (!View(bytes).Slice(0, optionalHeaderSize, optional) || !optional.ReadU16(0, magic))
        return false;
    std::uint64_t countAt = 0;
    if (magic == kPe32Magic)
        countAt = 92;
    else if (magic == kPe32PlusMagic)
        countAt = 108;
    else
        return false;
    std::uint32_t directoryCount = 0;
    if (!optional.ReadU32(countAt, directoryCount) || directoryCount <= kResourceDirectoryIndex ||
        !optional.ReadU32(countAt + 4 + kResourceDirectoryIndex * 8, resourceRva) || resourceRva == 0)
        return false;

    m_sections.clear();
    for (std::uint64_t i = 0; i < sectionCount; ++i) {
        const std::uint64_t at = optionalHeaderSize + i * kSectionHeaderSize;
        Section section{};
        if (!View(bytes).ReadU32(at + 8, section.virtualSize) || !View(bytes).ReadU32(at + 12, section.virtualAddress) ||
            !View(bytes).ReadU32(at + 16, section.rawSize) || !View(bytes).ReadU32(at + 20, section.rawOffset))
            return false;
        m_sections.push_back(section);
    }
    return true;
}

bool CPeImage::MapRva(std::uint32_t rva, std::uint64_t& fileOffset, std::uint64_t& available) const
{
    for (const Section& section : m_sections) {
        const std::uint64_t span = std::max(section.virtualSize, section.rawSize);
        if (rva < section.virtualAddress || rva - section.virtualAddress >= span)
            continue;
        const std::uint64_t intoSection = rva - section.virtualAddress;
        // Past the raw data the loader would give zeros; a resource there is not in the file.
        if (intoSection >= section.rawSize)
            return false;
        fileOffset = std::uint64_t(section.rawOffset) + intoSection;
        if (fileOffset >= m_fileSize)
            return false;
        available = std::min<std::uint64_t>(section.rawSize - intoSection, m_fileSize - fileOffset);
        return true;
    }
    return false;
}

bool CPeImage::ReadResourceBytes(std::uint64_t offset, std::uint64_t length, std::vector<unsigned char>& out) const
{
    if (offset > m_resourceSize || length > m_resourceSize - offset)
        return false;
    return ReadBytes(m_resourceStart + offset, length, out);
}

bool CPeImage::ReadDirectory(std::uint32_t offset, std::vector<DirectoryEntry>& entries) const
{
    std::vector<unsigned char> bytes;
    std::uint16_t namedCount = 0, idCount = 0;
    if (!ReadResourceBytes(offset, kDirectoryHeaderSize, bytes) || !View(bytes).ReadU16(12, namedCount) ||
        !View(bytes).ReadU16(14, idCount))
        return false;
    // The named entries come first, then the numbered ones: each kind is capped on its own, so
    // that a flood of names cannot hide the numbers.
    entries.clear();
    const std::uint64_t namedAt = offset + kDirectoryHeaderSize;
    return ReadEntries(namedAt, namedCount, entries) && ReadEntries(namedAt + namedCount * kDirectoryEntrySize, idCount, entries);
}

bool CPeImage::ReadEntries(std::uint64_t at, std::uint64_t declared, std::vector<DirectoryEntry>& entries) const
{
    const std::uint64_t room = m_resourceSize > at ? (m_resourceSize - at) / kDirectoryEntrySize : 0;
    const std::uint64_t count = std::min({declared, kMaxDirectoryEntries, room});
    if (count == 0)
        return true;  // none declared, or none the tree holds
    std::vector<unsigned char> bytes;
    if (!ReadResourceBytes(at, count * kDirectoryEntrySize, bytes))
        return false;
    for (std::uint64_t i = 0; i < count; ++i) {
        DirectoryEntry entry{};
        View(bytes).ReadU32(i * kDirectoryEntrySize, entry.name);
        View(bytes).ReadU32(i * kDirectoryEntrySize + 4, entry.target);
        entries.push_back(entry);
    }
    return true;
}

bool CPeImage::EnterSubdirectory(const DirectoryEntry& entry, std::vector<std::uint32_t>& visited, std::uint32_t& offset) const
{
    if (!(entry.target & kHighBit))
        return false;
    offset = entry.target & ~kHighBit;
    // A directory that leads back to one on the way down would walk in a circle.
    if (std::find(visited.begin(), visited.end(), offset) != visited.end())
        return false;
    visited.push_back(offset);
    return true;
}

bool CPeImage::ReadVersionBlock(std::vector<unsigned char>& block)
{
    std::uint32_t resourceRva = 0;
    if (!ReadHeaders(resourceRva) || !MapRva(resourceRva, m_resourceStart, m_resourceSize))
        return false;

    auto isId = [](std::uint32_t wanted) {
        return [wanted](const DirectoryEntry& entry) { return !(entry.name & kHighBit) && entry.name == wanted; };
    };
    std::vector<std::uint32_t> visited{0};
    std::vector<DirectoryEntry> entries;
    std::uint32_t offset = 0;
    for (const std::uint32_t wanted : {kVersionType, kVersionName}) {
        if (!ReadDirectory(offset, entries))
            return false;
        const auto found = std::find_if(entries.begin(), entries.end(), isId(wanted));
        if (found == entries.end() || !EnterSubdirectory(*found, visited, offset))
            return false;
    }

    if (!ReadDirectory(offset, entries) || entries.empty())
        return false;
    auto language = entries.begin();
    for (const std::uint16_t wanted : ResourceLanguageOrder(zanfo::UserUiLanguage(), zanfo::SystemUiLanguage())) {
        const auto found = std::find_if(entries.begin(), entries.end(), isId(wanted));
        if (found != entries.end()) {
            language = found;
            break;
        }
    }
    if (language->target & kHighBit)
        return false;

    std::vector<unsigned char> dataEntry;
    std::uint32_t dataRva = 0, dataSize = 0;
    if (!ReadResourceBytes(language->target, kDataEntrySize, dataEntry) || !View(dataEntry).ReadU32(0, dataRva) ||
        !View(dataEntry).ReadU32(4, dataSize))
        return false;
    std::uint64_t dataOffset = 0, available = 0;
    if (dataSize == 0 || !MapRva(dataRva, dataOffset, available))
        return false;
    // A Size that runs past the section or the file is forgiven, as Windows forgives it, when
    // the block itself (by its own wLength) lies whole in what is there.
    const std::uint64_t wanted = std::min<std::uint64_t>(dataSize, kMaxVersionBlockSize);
    const std::uint64_t size = std::min(wanted, available);
    std::uint16_t blockLength = 0;
    if (!ReadBytes(dataOffset, size, block))
        return false;
    return size == wanted || (View(block).ReadU16(0, blockLength) && blockLength <= size);
}
