#include "SeedImages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// The fuzz entry aborts on a broken promise about the outputs: a replay that returns kept them.
void Feed(const std::vector<unsigned char>& bytes)
{
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
}

TEST(VersionFuzzReplay, SeedsAndTheirMutationsKeepTheOutputsPromises)
{
    // The same mutations on every run: overwritten bytes with values that matter to offsets
    // and lengths, and cuts at every length class.
    std::mt19937 random(20261207);
    const unsigned char interesting[] = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0xFE, 0x10, 0x20};
    for (const auto& [name, seed] : SeedImages()) {
        SCOPED_TRACE(name);
        Feed(seed);
        for (int round = 0; round < 400; ++round) {
            std::vector<unsigned char> mutated = seed;
            const int edits = 1 + static_cast<int>(random() % 8);
            for (int edit = 0; edit < edits; ++edit) {
                const std::size_t at = random() % mutated.size();
                mutated[at] = (random() % 2) ? interesting[random() % sizeof interesting] : static_cast<unsigned char>(random());
            }
            if (round % 5 == 0)
                mutated.resize(random() % mutated.size());
            Feed(mutated);
        }
    }
}

TEST(VersionFuzzReplay, CommittedCorpusKeepsTheOutputsPromises)
{
    const std::filesystem::path corpus = ZANFO_FUZZ_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus))
        GTEST_SKIP() << "no committed corpus at " << corpus;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        Feed(std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {}));
    }
}

}  // namespace
