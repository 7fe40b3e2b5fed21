#include "TempDir.h"
#include "VersionBlock.h"
#include "PeImage.h"
#include "VersionStrings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool OnPath(const std::string& tool)
{
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The Windows resource script, compiled by the cross resource compiler and linked into a PE
// that holds nothing else, then read back by our own version reader.
TEST(ResourceScript, CompilesAndItsVersionResourceReadsBack)
{
    if (!OnPath("x86_64-w64-mingw32-windres") || !OnPath("x86_64-w64-mingw32-ld") || !OnPath("cpp"))
        GTEST_SKIP() << "x86_64-w64-mingw32-windres, its ld or cpp is not installed (package binutils-mingw-w64-x86-64)";
    CTempDir dir;
    const std::string object = dir.File("resources.o");
    const std::string image = dir.File("resources.exe");
    const std::string compile = std::string("x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-P -I '") +
                                ZANFO_WINDOWS_STUB_DIR + "' -I '" + ZANFO_RESOURCE_DIR + "' '" + ZANFO_RESOURCE_SCRIPT +
                                "' -O coff -o '" + object + "'";
    ASSERT_EQ(std::system(compile.c_str()), 0) << compile;
    ASSERT_EQ(std::system(("x86_64-w64-mingw32-ld --entry=0 -o '" + image + "' '" + object + "'").c_str()), 0);

    std::string description, company, product, fileVersion;
    EXPECT_EQ(ReadVersionStrings(image, description, company, product, fileVersion), 1);
    EXPECT_EQ(description, "Zanfo文件诊所MD5值计算工具");
    EXPECT_EQ(company, "Zanfo");
    EXPECT_EQ(product, "MD5值计算工具 ");
    EXPECT_EQ(fileVersion, ZANFO_VERSION_COMMAS "beta") << "the project's version";

    std::vector<unsigned char> bytes;
    ASSERT_TRUE(CPeImage(image).ReadVersionBlock(bytes));
    const CVersionBlock block(CBoundedBuffer(bytes.data(), bytes.size()));
    const std::pair<const char*, const char*> strings[] = {
        {"Comments", "计算文件的MD5值"}, {"InternalName", "MD5"},   {"OriginalFilename", "zanfo-md5.exe"},
        {"ProductVersion", ZANFO_VERSION_COMMAS "beta"}, {"LegalTrademarks", ""}, {"PrivateBuild", ""}, {"SpecialBuild", ""},
    };
    for (const auto& [key, value] : strings) {
        std::string text = "unset";
        EXPECT_TRUE(block.QueryText(std::string("\\StringFileInfo\\080404b0\\") + key, text)) << key;
        EXPECT_EQ(text, value) << key;
    }
    CBoundedBuffer translation;
    std::uint32_t pair = 0;
    ASSERT_TRUE(block.QueryBinary("\\VarFileInfo\\Translation", translation));
    EXPECT_TRUE(translation.ReadU32(0, pair));
    EXPECT_EQ(pair, 0x04B00804u);
}

}  // namespace
