#include "TempDir.h"
#include "VersionStrings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

// The Windows resource script, compiled by the cross resource compiler and linked into a PE that
// holds nothing else, then read back by our own version reader.
TEST(ResourceScript, CompilesAndItsVersionResourceReadsBack)
{
    if (std::system("command -v x86_64-w64-mingw32-windres >/dev/null && command -v x86_64-w64-mingw32-ld >/dev/null && command -v cpp >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "x86_64-w64-mingw32-windres, its ld or cpp is not installed (package binutils-mingw-w64-x86-64)";
    CTempDir dir;
    const std::string object = dir.File("resources.o"), image = dir.File("resources.exe");
    const std::string compile = std::string("x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-P -I '") + ZANFO_WINDOWS_STUB_DIR +
                                "' -I '" + ZANFO_RESOURCE_DIR + "' '" + ZANFO_RESOURCE_SCRIPT + "' -O coff -o '" + object + "'";
    ASSERT_EQ(std::system(compile.c_str()), 0) << compile;
    ASSERT_EQ(std::system(("x86_64-w64-mingw32-ld --entry=0 -o '" + image + "' '" + object + "'").c_str()), 0);
    std::string strings[4];
    EXPECT_EQ(ReadVersionStrings(image, strings[0], strings[1], strings[2], strings[3]), 1);
    EXPECT_EQ(std::vector<std::string>(strings, strings + 4),
              (std::vector<std::string>{"Zanfo文件诊所MD5值计算工具", "Zanfo", "MD5值计算工具 ", ZANFO_VERSION_COMMAS "beta"}));
}
