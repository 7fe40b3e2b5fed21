#include "AboutDlg.h"
#include "DialogDriver.h"
#include "Md5WndEngine.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Stands for the dialog: notes the progress it handles, and on which thread.
struct CProgressReceiver : CAboutDlg {
    std::vector<int> percents;
    std::vector<std::thread::id> threads;
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        EXPECT_EQ(std::make_pair(message, lParam), std::make_pair(0x0464u, std::intptr_t{0}));
        percents.push_back(static_cast<int>(wParam));
        threads.push_back(std::this_thread::get_id());
        return 1;
    }
};

// Notes, as each progress call returns, how many the receiver had handled by then.
struct CCheckingEngine : CMd5WndEngine {
    const CProgressReceiver* receiver = nullptr;
    std::vector<std::size_t> handledWhenReturned;
    void OnProgress(int percent) override
    {
        CMd5WndEngine::OnProgress(percent);
        handledWhenReturned.push_back(receiver->percents.size());
    }
};

// From a worker, each progress call returns only once the window has handled it, on its own
// thread. (From the window's own thread, every small file the dialog hashes shows the same.)
TEST(Md5WndEngine, EachProgressCallReturnsOnceTheWindowHandledIt)
{
    CTempDir dir;
    MakeSparseFile(dir.File("data"), 3 * 1048576);
    CProgressReceiver receiver;
    receiver.Create();
    CCheckingEngine engine;
    engine.receiver = &receiver;
    engine.SetWindow(&receiver);
    std::string digest;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        digest = engine.HashFile(dir.File("data"), true);
        done = true;
    });
    const bool finished = WaitUntil([&] { return done.load(); });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(digest, "D1DD210D6B1312CB342B56D02BD5E651");
    EXPECT_EQ(receiver.percents, (std::vector<int>{33, 66, 100, 100}));
    EXPECT_EQ(engine.handledWhenReturned, (std::vector<std::size_t>{1, 2, 3, 4}));
    EXPECT_EQ(receiver.threads, std::vector<std::thread::id>(4, std::this_thread::get_id()));
}

}  // namespace
