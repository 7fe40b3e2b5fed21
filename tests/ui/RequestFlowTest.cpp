#include "DialogTestSupport.h"
#include "Md5Dlg.h"
#include "PeImageBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "resource.h"

#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

namespace {

constexpr std::uint64_t kThreshold = CMd5Dlg::kWorkerThreshold;
const QString kStop = QString::fromUtf8("停止");
const QString kCalculate = QString::fromUtf8("计算");
const QString kSizeZero = QString::fromUtf8("文件大小为0字节，请拖动单个文件计算MD5值或输入正确的文件路径!");
const int kDetails[] = {IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION};

// Counts how often a widget was shown.
class CShowCounter : public QObject {
public:
    int shows = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

struct FlowFixture {
    CTempDir dir;
    CMd5Dlg dlg;
    std::vector<QString> messages;
    std::vector<std::string> choices;  // what the file chooser answers, in turn; empty: cancel
    int chooserOpened = 0;
    CShowCounter barShows;

    FlowFixture()
    {
        dlg.SetShowMessage([this](QWidget*, const QString& text) { messages.push_back(text); });
        dlg.SetChooseFile([this](QWidget*, std::string& path, std::string& name) {
            ++chooserOpened;
            if (choices.empty())
                return false;
            path = choices.front();
            name = std::filesystem::path(path).filename().string();
            choices.erase(choices.begin());
            return true;
        });
        dlg.SetShellOpen([](const std::string&, int) { return 42; });
        dlg.Create();
        dlg.show();
        Bar()->installEventFilter(&barShows);
    }

    ~FlowFixture() { dlg.WaitForWorker(); }

    QProgressBar* Bar() { return static_cast<QProgressBar*>(dlg.GetDlgItem(IDC_PROGRESS)); }
    QString Text(int id) { return dlg.GetDlgItemText(id); }
    bool Visible(int id) { return dlg.GetDlgItem(id)->isVisible(); }
    bool AtRest() { return !Visible(IDC_PROGRESS) && !Visible(IDC_CALC) && Text(IDC_CALC) == kCalculate; }
    bool Running() { return Visible(IDC_PROGRESS) && Visible(IDC_CALC) && Text(IDC_CALC) == kStop; }

    void Drop(const std::vector<std::string>& paths)
    {
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        dlg.OnDropFiles(urls);
    }
    void Browse(const std::string& path)
    {
        choices.push_back(path);
        static_cast<QPushButton*>(dlg.GetDlgItem(IDC_BROWSE))->click();
    }
    void ClickStop() { static_cast<QPushButton*>(dlg.GetDlgItem(IDC_CALC))->click(); }
    std::string Sparse(const std::string& name, std::uint64_t size)
    {
        const std::string path = dir.File(name);
        MakeSparseFile(path, size);
        return path;
    }
};

TEST(RequestFlow, BelowTheThresholdHashesOnTheDialogThread)
{
    FlowFixture f;
    f.Drop({f.Sparse("just-below", kThreshold - 1)});
    EXPECT_EQ(f.Text(IDC_MD5), "F14841639292671281B0BA63DF6DA47E");
    EXPECT_EQ(f.barShows.shows, 0) << "the bar never shows";
    EXPECT_TRUE(f.AtRest());
    EXPECT_EQ(f.Text(IDC_FILE_NAME), "just-below");
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("20485759字节"));
}

TEST(RequestFlow, AtTheThresholdHashesOnAWorkerWithProgressAndStop)
{
    for (int round = 0; round < 10; ++round) {
        FlowFixture f;
        f.Drop({f.Sparse("at-threshold", kThreshold)});
        EXPECT_TRUE(f.Running());
        EXPECT_EQ(f.Bar()->value(), 0);
        EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("20485760字节")) << "details are there at once";
        EXPECT_EQ(f.Text(IDC_MD5), "");
        ASSERT_TRUE(WaitUntil([&] { return !f.Text(IDC_MD5).isEmpty(); }));
        EXPECT_EQ(f.Text(IDC_MD5), "C05B97BD323B1E1AF98EFD93AC0B09BD");
        EXPECT_TRUE(f.AtRest());
        EXPECT_EQ(f.Bar()->value(), 100);
    }
}

TEST(RequestFlow, SizesPastFourGibibytesShowTrueAndGoToTheWorker)
{
    FlowFixture f;
    f.Drop({f.Sparse("huge", 4294968296ull)});  // 4 GiB and 1,000 bytes
    EXPECT_TRUE(f.Running());
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("4294968296字节"));
    f.ClickStop();
}

TEST(RequestFlow, StopEndsTheRunAtOnceAndNoDigestComesLate)
{
    for (int round = 0; round < 10; ++round) {
        FlowFixture f;
        f.Drop({f.Sparse("big", 512 * 1048576ull)});
        // Either before the worker's run has begun or once it reports progress.
        if (round % 2) {
            ASSERT_TRUE(WaitUntil([&] { return f.Bar()->value() > 0; }));
        }
        f.ClickStop();
        EXPECT_TRUE(f.AtRest());
        EXPECT_EQ(f.Text(IDC_MD5), "");
        for (const int id : kDetails)
            EXPECT_EQ(f.Text(id), "") << id;
        f.dlg.WaitForWorker();
        EXPECT_EQ(f.Text(IDC_MD5), "") << "no late digest";
        EXPECT_LT(f.Bar()->value(), 100);
    }
}

TEST(RequestFlow, BrowseOrDropDuringARunStopsItAndDoesNotHashTheNewFile)
{
    for (const bool browse : {false, true}) {
        FlowFixture f;
        f.Drop({f.Sparse("big", 512 * 1048576ull)});
        const std::string next = f.dir.File("next");
        WritePatternFile(next, 100);
        if (browse) {
            f.Browse(next);
        } else {
            f.Drop({next});
        }
        EXPECT_EQ(f.Text(IDC_PATH).toStdString(), next);
        EXPECT_TRUE(f.AtRest());
        f.dlg.WaitForWorker();
        EXPECT_EQ(f.Text(IDC_MD5), "");
        EXPECT_EQ(f.Text(IDC_FILE_NAME), "");
    }
}

TEST(RequestFlow, ANewRequestWaitsForTheStoppedWorkerAndKeepsItsOwnResult)
{
    for (int round = 0; round < 10; ++round) {
        FlowFixture f;
        f.Drop({f.Sparse("big", 512 * 1048576ull)});
        f.ClickStop();
        const std::string small = f.dir.File("small");
        WritePatternFile(small, 1000);
        f.Drop({small});  // at rest again: this one is hashed, after the old worker is gone
        EXPECT_EQ(f.Text(IDC_MD5), "298B7796998306E58F3FF945F91D604C");
        f.dlg.WaitForWorker();
        QCoreApplication::processEvents();
        EXPECT_EQ(f.Text(IDC_MD5), "298B7796998306E58F3FF945F91D604C");
    }
}

TEST(RequestFlow, AWorkerThatFailsReturnsToRest)
{
    FlowFixture f;
    const std::string path = f.Sparse("vanishing", kThreshold);
    f.Drop({path});
    ASSERT_TRUE(f.Running());
    // The worker reads the path box only once this thread serves it: the file is gone by then.
    std::filesystem::remove(path);
    ASSERT_TRUE(WaitUntil([&] { return f.AtRest(); }));
    f.dlg.WaitForWorker();
    EXPECT_EQ(f.Text(IDC_MD5), "");
}

TEST(RequestFlow, PathsThatCannotBeHashedGiveTheirMessage)
{
    FlowFixture f;
    const std::string empty = f.dir.File("empty");
    WriteBytes(empty, {});
    const std::string fifo = f.dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, QString> cases[] = {
        {f.dir.File("missing"), QString::fromUtf8("文件不存在!")},
        {empty, kSizeZero},
        {f.dir.Path(), kSizeZero},
        {f.dir.Path() + "/", kSizeZero},
        {fifo, kSizeZero},
    };
    for (const auto& [path, message] : cases) {
        f.messages.clear();
        f.Drop({path});
        ASSERT_EQ(f.messages.size(), 1u) << path;
        EXPECT_EQ(f.messages[0], message) << path;
        EXPECT_TRUE(f.AtRest()) << path;
        EXPECT_EQ(f.Text(IDC_MD5), "");
        for (const int id : kDetails)
            EXPECT_EQ(f.Text(id), "") << path;
    }
}

TEST(RequestFlow, HiddenTriggerComesBeforeTheFirstChoice)
{
    FlowFixture f;
    f.dlg.SetDlgItemText(IDC_PATH, "417+508");
    static_cast<QPushButton*>(f.dlg.GetDlgItem(IDC_CALC))->click();
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0], QString::fromUtf8("我爱啃大苹果!"));
    EXPECT_EQ(f.chooserOpened, 0);

    // With no file chosen yet, Calculate opens the chooser instead; cancelling changes nothing.
    f.dlg.SetDlgItemText(IDC_PATH, "/etc/hostname");
    f.dlg.OnCalculate();
    EXPECT_EQ(f.chooserOpened, 1);
    EXPECT_EQ(f.Text(IDC_PATH), "/etc/hostname");
    EXPECT_EQ(f.Text(IDC_MD5), "");
}

TEST(RequestFlow, BrowseFillsThePathNameAndDigest)
{
    FlowFixture f;
    const std::string path = f.dir.File("中文 名字.bin");
    WritePatternFile(path, 1048576);
    f.Browse(path);
    EXPECT_EQ(f.Text(IDC_PATH).toStdString(), path);
    EXPECT_EQ(f.Text(IDC_MD5), "A66BEFC61DC4773A928BD6958403E2CE");
    EXPECT_EQ(f.Text(IDC_FILE_NAME), QString::fromUtf8("中文 名字.bin"));
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), QString::fromUtf8("1048576字节"));
    EXPECT_EQ(f.Text(IDC_DESCRIPTION), "") << "not a PE file";

    f.choices.clear();
    static_cast<QPushButton*>(f.dlg.GetDlgItem(IDC_BROWSE))->click();  // cancelled
    EXPECT_EQ(f.Text(IDC_MD5), "A66BEFC61DC4773A928BD6958403E2CE");
}

TEST(RequestFlow, VersionStringsOfAPeFileAreShown)
{
    FlowFixture f;
    const std::string path = f.dir.File("程序.exe");
    WriteBytes(path, PeFileWithVersionStrings(u"描述", u"公司", u"产品", u"1, 2, 3, 4"));
    f.Drop({path, f.dir.File("ignored")});
    EXPECT_EQ(f.Text(IDC_DESCRIPTION), QString::fromUtf8("描述"));
    EXPECT_EQ(f.Text(IDC_COMPANY), QString::fromUtf8("公司"));
    EXPECT_EQ(f.Text(IDC_PRODUCT_NAME), QString::fromUtf8("产品"));
    EXPECT_EQ(f.Text(IDC_PRODUCT_VERSION), "1, 2, 3, 4");
    EXPECT_EQ(f.Text(IDC_FILE_NAME), QString::fromUtf8("程序.exe"));
    EXPECT_EQ(f.Text(IDC_MD5).size(), 32);
}

TEST(RequestFlow, LongDroppedPathsArriveWhole)
{
    FlowFixture f;
    std::string folder = f.dir.Path();
    while (folder.size() < 300)
        folder += "/" + std::string(40, 'd');
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/long.txt";
    WriteBytes(path, {'a', 'b', 'c'});
    f.Drop({path});
    EXPECT_EQ(f.Text(IDC_PATH).toStdString(), path);
    EXPECT_EQ(f.Text(IDC_MD5), "900150983CD24FB0D6963F7D28E17F72");
}

TEST(RequestFlow, OnlyLocalFilesAreAcceptedAtDragEnter)
{
    FlowFixture f;
    EXPECT_TRUE(f.dlg.acceptDrops());
    auto enter = [&](const QList<QUrl>& urls) {
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
    CTempDir dir;
    const std::string path = dir.File("big");
    MakeSparseFile(path, 1024 * 1048576ull);
    for (int round = 0; round < 20; ++round) {
        QElapsedTimer timer;
        timer.start();
        {
            CMd5Dlg dlg;
            dlg.Create();
            dlg.show();
            dlg.OnDropFiles({QUrl::fromLocalFile(QString::fromStdString(path))});
            if (round % 2)
                WaitUntil([&] { return static_cast<QProgressBar*>(dlg.GetDlgItem(IDC_PROGRESS))->value() > 0; });
            if (round % 4 < 2)
                dlg.reject();  // the close box
            else
                static_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->click();  // "退 出"
        }
        EXPECT_LT(timer.elapsed(), 1000) << "the worker stops within about a chunk";
    }
}

}  // namespace
