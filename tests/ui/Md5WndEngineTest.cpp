#include "AboutDlg.h"
#include "DialogDriver.h"
#include "Md5WndEngine.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// Stands for the dialog: notes the progress it handles and on which thread.
class CProgressReceiver : public CAboutDlg {
public:
    std::vector<int> percents;
    std::vector<std::thread::id> threads;

protected:
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override
    {
        EXPECT_EQ(message, 0x0464u);
        EXPECT_EQ(lParam, 0);
        percents.push_back(static_cast<int>(wParam));
        threads.push_back(std::this_thread::get_id());
        return 1;
    }
};

// Notes, as each progress call returns, how many the receiver had handled by then.
class CCheckingEngine : public CMd5WndEngine {
public:
    const CProgressReceiver* receiver = nullptr;
    std::vector<std::size_t> handledWhenReturned;

protected:
    void OnProgress(int percent) override
    {
        CMd5WndEngine::OnProgress(percent);
        handledWhenReturned.push_back(receiver->percents.size());
    }
};

// From a worker and on the window's own thread alike, each progress call returns only once
// the window has handled it, on the window's thread.
TEST(Md5WndEngine, EachProgressCallReturnsOnceTheWindowHandledIt)
{
    CTempDir dir;
    MakeSparseFile(dir.File("data"), 3 * 1048576);
    for (const bool fromWorker : {true, false}) {
        CProgressReceiver receiver;
        receiver.Create();
        CCheckingEngine engine;
        engine.receiver = &receiver;
        engine.SetWindow(&receiver);
        std::string digest;
        if (fromWorker) {
            std::atomic<bool> done{false};
            std::thread worker([&] {
                digest = engine.HashFile(dir.File("data"), true);
                done = true;
            });
            const bool finished = WaitUntil([&] { return done.load(); });
            worker.join();
            ASSERT_TRUE(finished);
        } else {
            digest = engine.HashFile(dir.File("data"), true);
        }
        EXPECT_EQ(digest, "D1DD210D6B1312CB342B56D02BD5E651") << fromWorker;
        EXPECT_EQ(receiver.percents, (std::vector<int>{33, 66, 100, 100})) << fromWorker;
        EXPECT_EQ(engine.handledWhenReturned, (std::vector<std::size_t>{1, 2, 3, 4})) << fromWorker;
        EXPECT_EQ(receiver.threads, std::vector<std::thread::id>(4, std::this_thread::get_id())) << fromWorker;
    }
}

}  // namespace
