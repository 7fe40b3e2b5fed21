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

// The user's Stop comes from another thread while the worker hashes: it ends the run at the
// next chunk check (no later progress, no final 100), unless the last full chunk is behind.
TEST(FileHasherStop, StopFromAnotherThreadEndsTheRunAtTheNextChunkCheck)
{
    struct Case {
        std::uint64_t size;
        const char* digest;
        std::vector<int> progress;
    };
    const Case cases[] = {{8 * kMiB, "", {12, 25}}, {2 * kMiB + 10, "8C84FB24620E647BC241DAB8D4ADFCE3", {50, 100, 100}}};
    CTempDir dir;
    for (const Case& c : cases) {
        WritePatternFile(dir.File("data"), c.size);
        std::mutex mutex;
        std::condition_variable changed;
        bool stopAsked = false, stopped = false;
        CRecordingEngine engine;
        engine.onProgress = [&](int call, int) {
            if (call != 2)
                return;
            std::unique_lock<std::mutex> lock(mutex);
            stopAsked = true;
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(60), [&] { return stopped; });
        };
        std::string digest = "unset";
        std::thread worker([&] { digest = engine.HashFile(dir.File("data"), true); });
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait_for(lock, std::chrono::seconds(60), [&] { return stopAsked; });
        }
        engine.Stop();
        {
            std::lock_guard<std::mutex> lock(mutex);
            stopped = true;
        }
        changed.notify_all();
        worker.join();
        EXPECT_EQ(digest, c.digest) << c.size;
        EXPECT_EQ(engine.LastFailure(), *c.digest ? HashFailure::None : HashFailure::Stopped) << c.size;
        EXPECT_EQ(engine.progress, c.progress) << c.size;
        engine.onProgress = nullptr;
        EXPECT_EQ(engine.HashFile(dir.File("data"), true).size(), 32u) << "the next run sets the running flag itself";
    }
}

}  // namespace
