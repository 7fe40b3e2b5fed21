#pragma once

#include "PeImageBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "VersionStrings.h"

#include <string>
#include <vector>

// What ReadVersionStrings gave for one file: the result, then the description, company,
// product and file version.
using VersionResult = std::vector<std::string>;
inline const VersionResult kNoVersion{"0", "", "", "", ""};
inline const VersionResult kEmptyVersion{"1", "", "", "", ""};

inline VersionResult ReadVersionOf(const std::string& path)
{
    VersionResult r(5, "stale");
    r[0] = std::to_string(ReadVersionStrings(path, r[1], r[2], r[3], r[4]));
    return r;
}

inline VersionResult ReadVersionOf(const CTempDir& dir, const std::vector<unsigned char>& bytes)
{
    WriteBytes(dir.File("image.exe"), bytes);
    return ReadVersionOf(dir.File("image.exe"));
}

inline std::vector<unsigned char> Block(std::u16string table, std::vector<VersionNode> strings,
                                        std::optional<std::vector<unsigned char>> translation = TranslationBytes({{0x0804, 0x04B0}}))
{
    return SerializeVersionBlock(StandardVersionInfo(std::move(table), std::move(strings), std::move(translation)));
}
