#include "Md5ProgressEvent.h"
#include "Md5WndEngine.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Stands for the dialog: counts the progress it handles and notes on which thread.
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
    explicit CCheckingEngine(const CProgressReceiver& receiver)
        : m_receiver(receiver)
    {
    }
    std::vector<std::size_t> handledWhenReturned;

protected:
    void OnProgress(int percent) override
    {
        CMd5WndEngine::OnProgress(percent);
        handledWhenReturned.push_back(m_receiver.percents.size());
    }

private:
    const CProgressReceiver& m_receiver;
};

TEST(Md5WndEngine, FromAWorkerEachCallWaitsUntilTheWindowHandledIt)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    MakeSparseFile(path, 3 * 1048576);
    CProgressReceiver receiver;
    CCheckingEngine engine(receiver);
    engine.SetWindow(&receiver);

    std::string digest;
    QThread* worker = QThread::create([&] { digest = engine.HashFile(path, true); });
    QEventLoop loop;
    QObject::connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    worker->start();
    loop.exec();
    ASSERT_TRUE(worker->wait(60000));
    delete worker;

    EXPECT_EQ(digest.size(), 32u);
    EXPECT_EQ(receiver.percents, (std::vector<int>{33, 66, 100, 100}));
    EXPECT_EQ(engine.handledWhenReturned, (std::vector<std::size_t>{1, 2, 3, 4}));
    for (QThread* thread : receiver.threads)
        EXPECT_EQ(thread, QCoreApplication::instance()->thread());
}

TEST(Md5WndEngine, OnTheWindowsThreadItCallsDirectly)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    MakeSparseFile(path, 1048576);
    CProgressReceiver receiver;
    CCheckingEngine engine(receiver);
    engine.SetWindow(&receiver);
    EXPECT_EQ(engine.HashFile(path, true), "B6D81B360A5672D80C27430F39153E2C");
    EXPECT_EQ(receiver.percents, (std::vector<int>{100, 100}));
    EXPECT_EQ(engine.handledWhenReturned, (std::vector<std::size_t>{1, 2}));
}

TEST(Md5WndEngine, AGoneWindowIsNotTouched)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    MakeSparseFile(path, 1048576);
    auto receiver = std::make_unique<CProgressReceiver>();
    CMd5WndEngine engine;
    engine.SetWindow(receiver.get());
    receiver.reset();
    EXPECT_EQ(engine.HashFile(path, true), "B6D81B360A5672D80C27430F39153E2C");
}

}  // namespace
