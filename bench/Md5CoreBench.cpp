#include "md5/ChunkReader.h"
#include "md5/Md5Engine.h"
#include "md5/Md5Lanes.h"

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

// One kernel's lanes, each over its own 1 MiB: the bytes of all lanes count, so MB/s compares
// with Md5Transform's as work per core.
void Md5Lanes(benchmark::State& state, const CMd5Lanes::Kernel& kernel)
{
    std::vector<std::vector<unsigned char>> data(static_cast<std::size_t>(kernel.lanes));
    for (std::size_t lane = 0; lane < data.size(); ++lane)
        data[lane].assign(CChunkReader::kChunkSize, static_cast<unsigned char>(lane));
    CMd5Lanes lanes(kernel);
    for (auto _ : state) {
        for (int lane = 0; lane < kernel.lanes; ++lane) {
            lanes.Start(lane);
            lanes.Feed(lane, data[static_cast<std::size_t>(lane)].data(), CChunkReader::kChunkSize, true);
        }
        while (!lanes.Done(0))
            lanes.Run();
        for (int lane = 0; lane < kernel.lanes; ++lane)
            benchmark::DoNotOptimize(lanes.TakeDigest(lane, false));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kernel.lanes * CChunkReader::kChunkSize));
}

}  // namespace

int main(int argc, char** argv)
{
    for (const CMd5Lanes::Kernel& kernel : CMd5Lanes::AvailableKernels())
        benchmark::RegisterBenchmark((std::string("Md5Lanes/") + kernel.name).c_str(), Md5Lanes, kernel);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
