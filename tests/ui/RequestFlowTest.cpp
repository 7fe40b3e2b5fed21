#include "DialogFixture.h"
#include "PeImageBuilder.h"

#include <QDragEnterEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

constexpr std::uint64_t kThreshold = CMd5Dlg::kWorkerThreshold;
constexpr std::uint64_t kBig = 512 * 1048576ull;
const char* const kSmallDigest = "298B7796998306E58F3FF945F91D604C";  // 1,000 pattern bytes
const QString kSizeZero = QString::fromUtf8("文件大小为0字节，请拖动单个文件计算MD5值或输入正确的文件路径!");
const int kDetails[] = {IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION};

bool DigestAndDetailsEmpty(DialogFixture& f)
{
    bool empty = f.Text(IDC_MD5).isEmpty();
    for (const int id : kDetails)
        empty = empty && f.Text(id).isEmpty();
    return empty;
}

// Runs `act` right after the dialog has served the worker's first call (its read of the path
// box), while the worker is still held in that call: the moment between the read and the run.
class CAfterFirstWorkerCall : public QObject {
public:
    CAfterFirstWorkerCall(QObject* dialog, std::function<void()> act)
        : m_act(std::move(act))
    {
        dialog->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MetaCall || !m_act)
            return false;
        watched->event(event);  // the worker is released only once the event is destroyed
        std::exchange(m_act, nullptr)();
        return true;
    }

private:
    std::function<void()> m_act;
};

TEST(RequestFlow, TheThresholdDecidesTheRoadAndOnlyTheDialogThreadTouchesTheControls)
{
    DialogFixture f;
    std::vector<QThread*> writers;
    QObject::connect(static_cast<QLineEdit*>(f.Item(IDC_MD5)), &QLineEdit::textChanged,
                     [&] { writers.push_back(QThread::currentThread()); });

    f.Drop({f.Sparse("just-below", kThreshold - 1)});
    EXPECT_TRUE(f.AtRest()) << "hashed before the drop returns";
    EXPECT_EQ(f.Text(IDC_MD5), "F14841639292671281B0BA63DF6DA47E");
    EXPECT_EQ(f.Text(IDC_FILE_NAME), "just-below");
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("20485759字节"));

    f.Drop({f.Sparse("at-threshold", kThreshold)});
    EXPECT_TRUE(f.Running());
    EXPECT_EQ(f.Text(IDC_MD5), "") << "the old digest is gone at once";
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("20485760字节")) << "details are there at once";
    ASSERT_TRUE(WaitUntil([&] { return !f.Text(IDC_MD5).isEmpty(); }));
    EXPECT_EQ(f.Text(IDC_MD5), "C05B97BD323B1E1AF98EFD93AC0B09BD");
    EXPECT_TRUE(f.AtRest());

    f.Drop({f.Sparse("huge", 4294968296ull)});  // 4 GiB and 1,000 bytes
    EXPECT_TRUE(f.Running());
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("4294968296字节"));
    ClickAt(f.Item(IDC_CALC));
    f.dlg.WaitForWorker();
    for (QThread* writer : writers)
        EXPECT_EQ(writer, QCoreApplication::instance()->thread());
}

// Stop wherever it lands: before the worker reads the path box, between that read and the run,
// during the run. No digest comes late and the rest state holds.
TEST(RequestFlow, StopEndsTheRunWhereverItLands)
{
    enum When { BeforeTheRead, BetweenReadAndRun, DuringTheRun };
    for (const When when : {BeforeTheRead, BetweenReadAndRun, DuringTheRun}) {
        DialogFixture f;
        const auto stop = [&] { ClickAt(f.Item(IDC_CALC)); };
        std::unique_ptr<CAfterFirstWorkerCall> between;
        if (when == BetweenReadAndRun)
            between = std::make_unique<CAfterFirstWorkerCall>(&f.dlg, stop);
        f.Drop({f.Sparse("big", kBig)});
        if (when == BeforeTheRead)
            stop();
        if (when == DuringTheRun) {
            ASSERT_TRUE(WaitUntil([&] { return static_cast<QProgressBar*>(f.Item(IDC_PROGRESS))->value() > 0; }));
            stop();
        }
        ASSERT_TRUE(WaitUntil([&] { return f.AtRest(); })) << when;
        EXPECT_TRUE(DigestAndDetailsEmpty(f)) << when;
        f.dlg.WaitForWorker();
        EXPECT_EQ(f.Text(IDC_MD5), "") << when << ": no late digest";
    }
}

TEST(RequestFlow, ANewChoiceDuringOrAfterARunIsNeverHashedByTheOldWorker)
{
    for (const bool browse : {false, true}) {
        DialogFixture f;
        f.Drop({f.Sparse("big", kBig)});
        const std::string next = f.Pattern("next", 1000);
        browse ? f.Browse(next) : f.Drop({next});  // during a run: it stops the run
        EXPECT_EQ(f.Text(IDC_PATH).toStdString(), next);
        EXPECT_TRUE(f.AtRest());
        EXPECT_TRUE(DigestAndDetailsEmpty(f));

        f.Drop({next});  // after the Stop: this one is hashed once the old worker is gone
        EXPECT_EQ(f.Text(IDC_MD5), kSmallDigest);
        f.dlg.WaitForWorker();
        QCoreApplication::processEvents();
        EXPECT_EQ(f.Text(IDC_MD5), kSmallDigest);
    }
}

TEST(RequestFlow, AWorkerThatFailsReturnsToRest)
{
    DialogFixture f;
    const std::string path = f.Sparse("vanishing", kThreshold);
    f.Drop({path});
    ASSERT_TRUE(f.Running());
    // The worker reads the path box only once this thread serves it: the file is gone by then.
    std::filesystem::remove(path);
    ASSERT_TRUE(WaitUntil([&] { return f.AtRest(); }));
    f.dlg.WaitForWorker();
    EXPECT_EQ(f.Text(IDC_MD5), "");
}

TEST(RequestFlow, AWorkerThatCannotStartLeavesAWorkingDialog)
{
    DialogFixture f;
    f.dlg.SetStartThread([](QThread& thread) {
        thread.setStackSize(1);  // far too small a stack: the system refuses the thread
        thread.start();
    });
    f.Drop({f.Sparse("big", kBig)});
    EXPECT_TRUE(f.AtRest());
    ASSERT_EQ(f.messages.size(), 1u);
    f.dlg.SetStartThread([](QThread& thread) { thread.start(); });
    f.Drop({f.Pattern("small", 1000)});
    EXPECT_EQ(f.Text(IDC_MD5), kSmallDigest);
    f.Drop({f.dir.File("big")});
    EXPECT_TRUE(f.Running());
    ClickAt(f.Item(IDOK));
    EXPECT_FALSE(f.dlg.isVisible());
}

// A drop is no user input to the loop that waits for a worker: one that reaches the dialog
// there must neither start a worker that the wait would join (a hang) nor be lost.
TEST(RequestFlow, DropsWhileTheDialogWaitsForAWorkerNeverHang)
{
    enum Sequence { StopThenTwoDrops, CloseThenTwoDrops, StopCloseDrop };
    for (const Sequence sequence : {StopThenTwoDrops, CloseThenTwoDrops, StopCloseDrop}) {
        DialogFixture f;
        const std::string big = f.Sparse("big", kBig), other = f.Sparse("other", kBig);
        f.Drop({big});
        if (sequence != CloseThenTwoDrops)
            ClickAt(f.Item(IDC_CALC));
        f.Drop({other}, true);  // handled inside the wait that follows
        if (sequence == StopThenTwoDrops) {
            f.Drop({big});
            EXPECT_TRUE(f.Running()) << "the last choice is taken once the old worker is gone";
            EXPECT_EQ(f.Text(IDC_PATH).toStdString(), other);
            ClickAt(f.Item(IDC_CALC));
            EXPECT_TRUE(f.AtRest());
        } else {
            if (sequence == CloseThenTwoDrops)
                f.Drop({big}, true);
            ClickAt(f.Item(IDOK));
            EXPECT_FALSE(f.dlg.isVisible()) << sequence;
        }
    }
}

TEST(RequestFlow, PathsThatCannotBeHashedGiveTheirMessageAndClearAnEarlierResult)
{
    DialogFixture f;
    const std::string good = f.Pattern("good", 1000), empty = f.dir.File("empty"), fifo = f.dir.File("fifo");
    WriteBytes(empty, {});
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, QString> cases[] = {
        {f.dir.File("missing"), QString::fromUtf8("文件不存在!")},
        {empty, kSizeZero},
        {f.dir.Path(), kSizeZero},
        {f.dir.Path() + "/", kSizeZero},
        {fifo, kSizeZero},
    };
    for (const auto& [path, message] : cases) {
        f.Drop({good});
        ASSERT_EQ(f.Text(IDC_MD5), kSmallDigest);
        f.messages.clear();
        f.Drop({path});
        EXPECT_EQ(f.messages, std::vector<QString>{message}) << path;
        EXPECT_TRUE(f.AtRest()) << path;
        EXPECT_TRUE(DigestAndDetailsEmpty(f)) << path;
    }
}

TEST(RequestFlow, HiddenTriggerComesBeforeTheFirstChoice)
{
    DialogFixture f;
    f.dlg.SetDlgItemText(IDC_PATH, "417+508");
    f.dlg.OnCalculate();
    EXPECT_EQ(f.messages, std::vector<QString>{QString::fromUtf8("我爱啃大苹果!")});
    EXPECT_EQ(f.chooserOpened, 0);

    // With no file chosen yet, Calculate opens the chooser instead; cancelling changes nothing.
    f.dlg.SetDlgItemText(IDC_PATH, "/etc/hostname");
    f.dlg.OnCalculate();
    EXPECT_EQ(f.chooserOpened, 1);
    EXPECT_EQ(f.Text(IDC_PATH), "/etc/hostname");
    EXPECT_EQ(f.Text(IDC_MD5), "");
}

TEST(RequestFlow, ChosenFilesShowWholePathNameSizeAndVersionStrings)
{
    DialogFixture f;
    const std::string chinese = f.Pattern("中文 名字.bin", 1048576);
    f.Browse(chinese);
    EXPECT_EQ(f.Text(IDC_PATH).toStdString(), chinese);
    EXPECT_EQ(f.Text(IDC_MD5), "A66BEFC61DC4773A928BD6958403E2CE");
    EXPECT_EQ(f.Text(IDC_FILE_NAME), QString::fromUtf8("中文 名字.bin"));
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("1048576字节"));
    EXPECT_EQ(f.Text(IDC_DESCRIPTION), "") << "not a PE file";
    ClickAt(f.Item(IDC_BROWSE));  // cancelled
    EXPECT_EQ(f.Text(IDC_MD5), "A66BEFC61DC4773A928BD6958403E2CE");

    const std::string exe = f.dir.File("程序.exe");
    WriteBytes(exe, PeFileWithVersionStrings(u"描述", u"公司", u"产品", u"1, 2, 3, 4"));
    f.Drop({exe, f.dir.File("ignored")});
    const std::pair<int, QString> details[] = {{IDC_DESCRIPTION, QString::fromUtf8("描述")},
                                               {IDC_COMPANY, QString::fromUtf8("公司")},
                                               {IDC_PRODUCT_NAME, QString::fromUtf8("产品")},
                                               {IDC_PRODUCT_VERSION, "1, 2, 3, 4"},
                                               {IDC_FILE_NAME, QString::fromUtf8("程序.exe")}};
    for (const auto& [id, text] : details)
        EXPECT_EQ(f.Text(id), text) << id;

    std::string folder = f.dir.Path();
    while (folder.size() < 300)
        folder += "/" + std::string(40, 'd');
    std::filesystem::create_directories(folder);
    WriteBytes(folder + "/long.txt", {'a', 'b', 'c'});
    f.Drop({folder + "/long.txt"});
    EXPECT_EQ(f.Text(IDC_PATH).toStdString(), folder + "/long.txt");
    EXPECT_EQ(f.Text(IDC_MD5), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(RequestFlow, OnlyLocalFilesAreAcceptedAtDragEnter)
{
    DialogFixture f;
    const auto enter = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&f.dlg, &event);
        return event.isAccepted();
    };
    EXPECT_TRUE(enter({QUrl::fromLocalFile("/etc/hostname")}));
    EXPECT_FALSE(enter({QUrl("http://www.zanfo.com/")}));
    EXPECT_FALSE(enter({}));
}

TEST(RequestFlow, ClosingDuringARunStopsAndWaitsForTheWorker)
{
    for (const bool afterProgress : {false, true}) {
        for (const bool exitButton : {false, true}) {
            DialogFixture f;
            f.Drop({f.Sparse("big", 1024 * 1048576ull)});
            if (afterProgress) {
                ASSERT_TRUE(WaitUntil([&] { return static_cast<QProgressBar*>(f.Item(IDC_PROGRESS))->value() > 0; }));
            }
            if (exitButton)
                ClickAt(f.Item(IDOK));  // "退 出"
            else
                f.dlg.close();  // the close box
            EXPECT_FALSE(f.dlg.isVisible());
            EXPECT_EQ(f.Text(IDC_MD5), "") << "stopped, not finished";
        }
    }
}

}  // namespace
