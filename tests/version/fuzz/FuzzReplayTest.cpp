// The committed corpus, fed to the fuzz entry. The entry aborts on a broken promise about the
// outputs (result 0 means four empty strings; every string is UTF-8 without NUL), so a replay
// that returns kept them for every file.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

TEST(VersionFuzzReplay, TheCommittedCorpusKeepsTheOutputsPromises)
{
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZANFO_FUZZ_CORPUS_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 100);
}
