#include "RecordingEngine.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Sparse files of zeros: quick to make, several seconds each to hash. Digests from hashlib.
TEST(LargeFile, SizesAroundFourGibibytesHashToTheirTrueDigest)
{
    const std::pair<std::uint64_t, const char*> cases[] = {
        {4294967295u, "C654EBC4B3472CFA01ADE24BBBBC6D3E"},
        {4294968296u, "C3585F1F6D53B90833000EB563ED8E9A"},
    };
    CTempDir dir;
    for (const auto& [size, digest] : cases) {
        const std::string path = dir.File("large");
        MakeSparseFile(path, size);
        CRecordingEngine engine;
        EXPECT_EQ(engine.HashFile(path, true), digest) << size;
        ASSERT_FALSE(engine.progress.empty());
        EXPECT_EQ(engine.progress.back(), 100);
        for (std::size_t i = 1; i < engine.progress.size(); ++i)
            EXPECT_LE(engine.progress[i - 1], engine.progress[i]) << size;
    }
}

}  // namespace
