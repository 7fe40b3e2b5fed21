#pragma once

#include "PeImageBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "VersionStrings.h"

#include <ostream>
#include <string>

// What ReadVersionStrings gave for one file.
struct VersionResult {
    int result;
    std::string description, company, product, fileVersion;

    bool operator==(const VersionResult& other) const
    {
        return result == other.result && description == other.description && company == other.company &&
               product == other.product && fileVersion == other.fileVersion;
    }
};

inline std::ostream& operator<<(std::ostream& out, const VersionResult& r)
{
    return out << "{" << r.result << ", '" << r.description << "', '" << r.company << "', '" << r.product << "', '"
               << r.fileVersion << "'}";
}

inline VersionResult ReadVersionOf(const std::string& path)
{
    VersionResult r{-1, "stale", "stale", "stale", "stale"};
    r.result = ReadVersionStrings(path, r.description, r.company, r.product, r.fileVersion);
    return r;
}

inline VersionResult ReadVersionOf(const CTempDir& dir, const std::vector<unsigned char>& bytes)
{
    const std::string path = dir.File("image.exe");
    WriteBytes(path, bytes);
    return ReadVersionOf(path);
}

inline const VersionResult kNoVersion{0, "", "", "", ""};
inline const VersionResult kEmptyVersion{1, "", "", "", ""};
