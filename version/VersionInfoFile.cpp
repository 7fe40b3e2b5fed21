#include "VersionInfoFile.h"

#include "PeImage.h"

#include <algorithm>
#include <vector>

std::uint32_t GetVersionInfoSize(const std::string& utf8Path)
{
    std::vector<unsigned char> block;
    return CPeImage(utf8Path).ReadVersionBlock(block) ? static_cast<std::uint32_t>(block.size()) : 0;
}

bool GetVersionInfo(const std::string& utf8Path, std::uint32_t size, unsigned char* block)
{
    std::vector<unsigned char> read;
    if (!CPeImage(utf8Path).ReadVersionBlock(read))
        return false;
    std::copy_n(read.begin(), std::min<std::size_t>(size, read.size()), block);
    return true;
}
