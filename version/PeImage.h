#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A PE file (PE32 or PE32+) opened to find its version resource: type 16, name 1, and of its
// languages the one the Windows resource loader takes for this user (see ResourceLanguage.h). Only the headers, the resource directories on the way and the
// block itself are read; every offset and size from the file is checked before use.
class CPeImage {
public:
    static constexpr std::uint64_t kMaxVersionBlockSize = 65536;

    explicit CPeImage(const std::string& utf8Path);
    ~CPeImage();
    CPeImage(const CPeImage&) = delete;
    CPeImage& operator=(const CPeImage&) = delete;

    // The VS_VERSIONINFO block; false when the file has none or is not a readable PE file.
    bool ReadVersionBlock(std::vector<unsigned char>& block);

private:
    struct Section {
        std::uint32_t virtualAddress;
        std::uint32_t virtualSize;
        std::uint32_t rawSize;
        std::uint32_t rawOffset;
    };
    struct DirectoryEntry {
        std::uint32_t name;    // high bit: a string name, else an ID
        std::uint32_t target;  // high bit: a subdirectory, else a data entry
    };

    bool ReadBytes(std::uint64_t offset, std::uint64_t length, std::vector<unsigned char>& out) const;
    bool ReadHeaders(std::uint32_t& resourceRva);
    bool MapRva(std::uint32_t rva, std::uint64_t& fileOffset, std::uint64_t& available) const;
    bool ReadResourceBytes(std::uint64_t offset, std::uint64_t length, std::vector<unsigned char>& out) const;
    bool ReadDirectory(std::uint32_t offset, std::vector<DirectoryEntry>& entries) const;
    bool ReadEntries(std::uint64_t at, std::uint64_t declared, std::vector<DirectoryEntry>& entries) const;
    bool EnterSubdirectory(const DirectoryEntry& entry, std::vector<std::uint32_t>& visited, std::uint32_t& offset) const;

    std::FILE* m_file = nullptr;
    std::uint64_t m_fileSize = 0;
    std::vector<Section> m_sections;
    std::uint64_t m_resourceStart = 0;  // file offset of the resource tree
    std::uint64_t m_resourceSize = 0;   // bytes of it that the file holds
};
