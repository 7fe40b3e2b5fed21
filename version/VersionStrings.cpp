#include "version/VersionStrings.h"

#include "version/PeImage.h"
#include "version/VersionBlock.h"

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
    return block.QueryBinary(kTranslationPath, value) && value.ReadU16(0, first.language) && value.ReadU16(2, first.codePage);
}

std::string Format(const char* pattern, Translation pair, const char* name)
{
    char path[96];
    std::snprintf(path, sizeof path, pattern, unsigned(pair.language), unsigned(pair.codePage), name);
    return path;
}

}  // namespace

int ReadVersionStrings(std::string strPath, std::string& strDescription, std::string& strCompany, std::string& strProduct,
                       std::string& strFileVersion)
{
    strDescription.clear();
    strCompany.clear();
    strProduct.clear();
    strFileVersion.clear();

    // The block is read once: its size and its bytes come from the same look at the file.
    std::vector<unsigned char> bytes;
    if (!CPeImage(strPath).ReadVersionBlock(bytes))
        return 0;
    const CVersionBlock block(CBoundedBuffer(bytes.data(), bytes.size()));

    Translation first{};
    if (!FirstTranslation(block, first))
        return 1;
    // The file version under the first translation's own pair, in the lower-case spelling.
    block.QueryText(Format("\\StringFileInfo\\%04x%04x\\%s", first, "FileVersion"), strFileVersion);
    // A language with its top bit set is taken as no usable language: look under U.S. English.
    const Translation pair = (first.language & 0x8000) ? Translation{kFallbackLanguage, kFallbackCodePage} : first;
    block.QueryText(Format("StringFileInfo\\%04X%04X\\%s", pair, "FileDescription"), strDescription);
    block.QueryText(Format("StringFileInfo\\%04X%04X\\%s", pair, "CompanyName"), strCompany);
    block.QueryText(Format("StringFileInfo\\%04X%04X\\%s", pair, "ProductName"), strProduct);
    return 1;
}
