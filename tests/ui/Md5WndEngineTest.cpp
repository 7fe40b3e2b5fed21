#include "Md5ProgressEvent.h"
#include "Md5WndEngine.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "WindowInput.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Stands for the dialog: notes the progress it handles and on which thread.
class CProgressReceiver : public QObject {
public:
    std::vector<int> percents;
    std::vector<QThread*> threads;

    bool event(QEvent* event) override
    {
        if (event->type() != CMd5ProgressEvent::WM_MD5_PROGRESS)
            return QObject::event(event);
        percents.push_back(static_cast<CMd5ProgressEvent*>(event)->WParam());
        threads.push_back(QThread::currentThread());
        return true;
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
        handledWhenReturned.push_back(receiver ? receiver->percents.size() : 0);
    }
};

// From a worker and on the window's own thread alike, each progress call returns only once
// the window has handled it, on the window's thread; a window that is gone is not touched.
TEST(Md5WndEngine, EachProgressCallReturnsOnceTheWindowHandledIt)
{
    CTempDir dir;
    MakeSparseFile(dir.File("data"), 3 * 1048576);
    for (const bool fromWorker : {true, false}) {
        CProgressReceiver receiver;
        CCheckingEngine engine;
        engine.receiver = &receiver;
        engine.SetWindow(&receiver);
        std::string digest;
        if (fromWorker) {
            const std::unique_ptr<QThread> worker(QThread::create([&] { digest = engine.HashFile(dir.File("data"), true); }));
            worker->start();
            ASSERT_TRUE(WaitUntil([&] { return worker->isFinished(); }));
        } else {
            digest = engine.HashFile(dir.File("data"), true);
        }
        EXPECT_EQ(digest, "D1DD210D6B1312CB342B56D02BD5E651") << fromWorker;
        EXPECT_EQ(receiver.percents, (std::vector<int>{33, 66, 100, 100})) << fromWorker;
        EXPECT_EQ(engine.handledWhenReturned, (std::vector<std::size_t>{1, 2, 3, 4})) << fromWorker;
        EXPECT_EQ(receiver.threads, std::vector<QThread*>(4, QCoreApplication::instance()->thread())) << fromWorker;
    }
    auto gone = std::make_unique<CProgressReceiver>();
    CMd5WndEngine engine;
    engine.SetWindow(gone.get());
    gone.reset();
    EXPECT_EQ(engine.HashFile(dir.File("data"), true), "D1DD210D6B1312CB342B56D02BD5E651");
}

}  // namespace
