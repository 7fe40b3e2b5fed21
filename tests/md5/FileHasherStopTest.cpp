#include "RecordingEngine.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace {

constexpr std::uint64_t kMiB = 1048576;

TEST(FileHasherStop, StopFromAnotherThreadEndsTheRunAtTheNextChunk)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    MakeSparseFile(path, 8 * kMiB);
    CRecordingEngine engine;
    engine.onProgress = [&](int call, int) {
        if (call == 2)
            std::thread([&] { engine.Stop(); }).join();
    };
    const int descriptorsBefore = OpenDescriptorCount();
    EXPECT_EQ(engine.HashFile(path, true), "");
    EXPECT_EQ(engine.LastFailure(), HashFailure::Stopped);
    EXPECT_EQ(engine.progress, (std::vector<int>{12, 25})) << "no progress after the stop, no final 100";
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);

    engine.onProgress = nullptr;
    engine.progress.clear();
    EXPECT_EQ(engine.HashFile(path, true).size(), 32u) << "the next run sets the running flag itself";
}

TEST(FileHasherStop, StopAfterTheLastFullChunkStillGivesTheDigest)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    WritePatternFile(path, 2 * kMiB + 10);
    CRecordingEngine engine;
    engine.onProgress = [&](int call, int) {
        if (call == 2)
            engine.Stop();
    };
    EXPECT_EQ(engine.HashFile(path, true), "3BD5308D7BCFC12BBA904D7B36D949CC");
    EXPECT_EQ(engine.progress, (std::vector<int>{50, 100, 100}));
}

// The user's Stop arrives while the worker hashes freely; only the running flag is shared.
TEST(FileHasherStop, StopRacingAFreeRunningWorker)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    MakeSparseFile(path, 256 * kMiB);
    for (int round = 0; round < 5; ++round) {
        std::mutex mutex;
        std::condition_variable started;
        bool running = false;
        CRecordingEngine engine;
        engine.onProgress = [&](int, int) {
            std::lock_guard<std::mutex> lock(mutex);
            running = true;
            started.notify_all();
        };
        std::string digest;
        std::thread worker([&] { digest = engine.HashFile(path, true); });
        {
            std::unique_lock<std::mutex> lock(mutex);
            ASSERT_TRUE(started.wait_for(lock, std::chrono::seconds(60), [&] { return running; }));
        }
        engine.Stop();
        worker.join();
        if (digest.empty()) {
            EXPECT_EQ(engine.LastFailure(), HashFailure::Stopped);
            EXPECT_NE(engine.progress.back(), 100);
        } else {
            EXPECT_EQ(engine.progress.back(), 100) << "only a run past its last chunk check may finish";
        }
    }
}

}  // namespace
