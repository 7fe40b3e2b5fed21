#include "RecordingEngine.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

// Sparse files of zeros around 4 GiB: quick to make, several seconds each to hash.
TEST(LargeFile, SizesAroundFourGibibytesHashToTheirTrueDigest)
{
    const std::pair<std::uint64_t, const char*> cases[] = {{4294967295u, "C654EBC4B3472CFA01ADE24BBBBC6D3E"},
                                                           {4294968296u, "C3585F1F6D53B90833000EB563ED8E9A"}};
    CTempDir dir;
    for (const auto& [size, digest] : cases) {
        MakeSparseFile(dir.File("large"), size);
        CRecordingEngine engine;
        EXPECT_EQ(engine.HashFile(dir.File("large"), true), digest) << size;
        EXPECT_TRUE(std::is_sorted(engine.progress.begin(), engine.progress.end()) && engine.progress.back() == 100) << size;
    }
}
