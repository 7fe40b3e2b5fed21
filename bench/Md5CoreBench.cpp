#include "md5/ChunkReader.h"
#include "md5/Md5Engine.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

class CSilentEngine : public CMd5Engine {
protected:
    void OnProgress(int) override {}
};

// Transform over 1 MiB held in memory: the ceiling that file hashing approaches.
void Md5Transform(benchmark::State& state)
{
    std::vector<unsigned char> data(CChunkReader::kChunkSize, 0x5A);
    CSilentEngine engine;
    engine.Init();
    for (auto _ : state) {
        for (std::size_t at = 0; at < data.size(); at += 64)
            engine.Transform(data.data() + at);
        benchmark::DoNotOptimize(engine.HexDigest(false));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(Md5Transform);

}  // namespace

BENCHMARK_MAIN();
