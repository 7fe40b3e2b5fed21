#include "VersionStrings.h"

#include "VersionBlock.h"
#include "VersionInfoFile.h"

#include <cstdio>
#include <vector>

namespace {

constexpr const char* kTranslationPath = "\\VarFileInfo\\Translation";
constexpr std::uint16_t kFallbackLanguage = 0x0409;  // U.S. English
constexpr std::uint16_t kFallbackCodePage = 0x04E4;  // Windows Latin-1

struct Translation {
    std::uint16_t language;
    std::uint16_t codePage;
};

// The first entry of the Translation value, if it holds a whole one.
bool FirstTranslation(const CVersionBlock& block, Translation& first)
{
    CBoundedBuffer value;
    return block.QueryBinary(kTranslationPath, value) && value.ReadU16(0, first.language) &&
           value.ReadU16(2, first.codePage);
}

std::string Format(const char* pattern, Translation pair, const char* name = "")
{
    char path[96];
    std::snprintf(path, sizeof path, pattern, unsigned(pair.language), unsigned(pair.codePage), name);
    return path;
}

}  // namespace

int ReadVersionStrings(std::string strPath, std::string& strDescription, std::string& strCompany,
                       std::string& strProduct, std::string& strFileVersion)
{
    strDescription.clear();
    strCompany.clear();
    strProduct.clear();
    strFileVersion.clear();

    const std::uint32_t size = GetVersionInfoSize(strPath);
    if (size == 0)
        return 0;
    // A block that cannot be read again stays zeros, which hold no strings.
    std::vector<unsigned char> bytes(size);
    GetVersionInfo(strPath, size, bytes.data());
    const CVersionBlock block(CBoundedBuffer(bytes.data(), bytes.size()));

    // The file version under the first translation's own pair, in the lower-case spelling.
    Translation first{};
    if (FirstTranslation(block, first))
        block.QueryText(Format("\\StringFileInfo\\%04x%04x\\%s", first, "FileVersion"), strFileVersion);

    if (!FirstTranslation(block, first))
        return 1;
    // A language with its top bit set is taken as no usable language: look under U.S. English.
    const Translation pair = (first.language & 0x8000) ? Translation{kFallbackLanguage, kFallbackCodePage} : first;
    block.QueryText(Format("StringFileInfo\\%04X%04X\\FileDescription", pair), strDescription);
    block.QueryText(Format("StringFileInfo\\%04X%04X\\CompanyName", pair), strCompany);
    block.QueryText(Format("StringFileInfo\\%04X%04X\\ProductName", pair), strProduct);
    return 1;
}
