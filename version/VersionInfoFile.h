#pragma once

#include <cstdint>
#include <string>

// The two file operations the version strings reader needs, in the shape of the Windows
// version API: how big a file's version block is (0 when it has none or cannot be read), and
// the block itself. Paths are UTF-8.
std::uint32_t GetVersionInfoSize(const std::string& utf8Path);
bool GetVersionInfo(const std::string& utf8Path, std::uint32_t size, unsigned char* block);
