#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Deterministic test data: byte i is ((i * 31) ^ (i >> 9)) & 0xFF. Expected digests of its
// prefixes were computed with Python's hashlib.
std::vector<unsigned char> PatternBytes(std::size_t count);

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
void WritePatternFile(const std::string& path, std::size_t count);

// A file of the given size that reads as zeros and takes no disk space.
void MakeSparseFile(const std::string& path, std::uint64_t size);

void AppendBytes(const std::string& path, std::size_t count);
void TruncateFile(const std::string& path, std::uint64_t size);

// How many file descriptors this process has open, to catch a file left open.
int OpenDescriptorCount();
