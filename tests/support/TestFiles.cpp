#include "TestFiles.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::vector<unsigned char> PatternBytes(std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(((i * 31) ^ (i >> 9)) & 0xFF);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

void WritePatternFile(const std::string& path, std::size_t count)
{
    WriteBytes(path, PatternBytes(count));
}

void MakeSparseFile(const std::string& path, std::uint64_t size)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc).close();
    std::filesystem::resize_file(path, size);
}

void AppendBytes(const std::string& path, std::size_t count)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    const std::vector<char> bytes(count, 'x');
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TruncateFile(const std::string& path, std::uint64_t size)
{
    std::filesystem::resize_file(path, size);
}

int OpenDescriptorCount()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<int>(std::distance(entries, std::filesystem::directory_iterator()));
}
