#include "tests/support/DialogFixture.h"
#include "tests/support/PeImageBuilder.h"

#include <gtest/gtest.h>

#include <future>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

constexpr std::uint64_t kThreshold = CMd5Dlg::kWorkerThreshold, kBig = 512 * 1048576ull;
const char* const kSmallDigest = "298B7796998306E58F3FF945F91D604C";  // 1,000 pattern bytes
const char* const kSizeZero = "文件大小为0字节，请拖动单个文件计算MD5值或输入正确的文件路径!";
const Strings kNoResults(7, "");

TEST(RequestFlow, TheThresholdDecidesTheRoad)
{
    DialogFixture f;
    f.Drop({f.Sparse("just-below", kThreshold - 1)});
    EXPECT_TRUE(f.AtRest()) << "hashed before the drop returns";
    EXPECT_EQ(f.Texts({IDC_MD5, IDC_FILE_NAME}), (Strings{"F14841639292671281B0BA63DF6DA47E", "just-below"}));
    f.Drop({f.Sparse("at-threshold", kThreshold)});
    EXPECT_TRUE(f.Running());
    // The old digest is gone at once, the details are there at once.
    EXPECT_EQ(f.Texts({IDC_MD5, IDC_FILE_SIZE}), (Strings{"", "20485760字节"}));
    ASSERT_TRUE(WaitUntil([&] { return !f.Text(IDC_MD5).empty(); }));
    EXPECT_EQ(f.Text(IDC_MD5), "C05B97BD323B1E1AF98EFD93AC0B09BD");
    EXPECT_TRUE(f.AtRest());
    f.Drop({f.Sparse("huge", 4294968296ull)});  // 4 GiB and 1,000 bytes
    EXPECT_EQ(f.Text(IDC_FILE_SIZE), "4294968296字节");
    f.Click(IDC_CALC);
}

// Stop, a new choice or closing, wherever it lands: before the worker reads the path box,
// between that read and the run, during the run, after its last check for a Stop. No digest
// comes late, no new choice is hashed by the old worker, and the dialog is at rest (or gone).
TEST(RequestFlow, StopNewChoiceOrCloseEndTheRunWhereverTheyLand)
{
    enum When { BeforeTheRead, BetweenReadAndRun, DuringTheRun, AfterTheLastCheck };
    enum Act { StopButton, Browse, Drop, ExitButton, CloseBox };
    const char* const whenNames[] = {"before-the-read", "between-read-and-run", "during-the-run", "after-the-last-check"};
    const char* const actNames[] = {"stop-button", "browse", "drop", "exit-button", "close-box"};
    for (const When when : {BeforeTheRead, BetweenReadAndRun, DuringTheRun, AfterTheLastCheck}) {
        for (const Act act : {StopButton, Browse, Drop, ExitButton, CloseBox}) {
            const bool closes = act == ExitButton || act == CloseBox;
            if (closes && (when == BetweenReadAndRun || when == AfterTheLastCheck))
                continue;  // closing waits for the worker, which waits for the act
            SCOPED_TRACE(std::string(actNames[act]) + "-" + whenNames[when]);
            DialogFixture f;
            const std::string next = f.Pattern("next", 1000);
            const std::function<void()> acts[] = {[&] { f.Click(IDC_CALC); }, [&] { f.Browse(next); }, [&] { f.Drop({next}); },
                                                  [&] { f.Click(IDOK); }, [&] { ClickCloseBox(f.dlg); }};
            const auto doIt = acts[act];
            // The worker reads the path box and shows progress through the dialog's thread, where
            // the act then lands: after the read, or as the 100 comes, when the file is read and
            // hashed and a Stop stops nothing.
            const int actAt = when == BetweenReadAndRun ? -1 : 100;
            if (when == BetweenReadAndRun || when == AfterTheLastCheck)
                f.dlg.SetWorkerCallServed([&, first = true, dialogThread = std::this_thread::get_id()](int progress) mutable {
                    EXPECT_EQ(std::this_thread::get_id(), dialogThread);
                    if (progress == actAt && std::exchange(first, false))
                        doIt();
                });
            f.Drop({f.Sparse("big", when == AfterTheLastCheck ? kThreshold : kBig)});
            if (when == DuringTheRun) {
                ASSERT_TRUE(WaitUntil([&] { return f.dlg.GetProgressPos(IDC_PROGRESS) > 0; }));
            }
            if (when == BeforeTheRead || when == DuringTheRun)
                doIt();
            ASSERT_TRUE(WaitUntil([&] { return closes ? !f.dlg.IsWindowVisible() : f.AtRest(); }));
            f.dlg.WaitForWorker();
            CWindowSystem::PumpEvents();
            EXPECT_EQ(closes ? f.Texts({IDC_MD5}) : f.Results(), closes ? Strings{""} : kNoResults) << "no late digest";
            if (act == Browse || act == Drop) {
                EXPECT_EQ(f.Text(IDC_PATH), next);
                f.Drop({next});  // after the Stop: hashed, once the old worker is gone
                EXPECT_EQ(f.Text(IDC_MD5), kSmallDigest);
            }
        }
    }
}

TEST(RequestFlow, AWorkerThatFailsOrCannotStartLeavesAWorkingDialog)
{
    DialogFixture f;
    const std::string vanishing = f.Sparse("vanishing", kThreshold);
    f.Drop({vanishing});
    ASSERT_TRUE(f.Running());
    std::filesystem::remove(std::filesystem::u8path(vanishing));  // the worker reads the path box only once this thread serves it
    ASSERT_TRUE(WaitUntil([&] { return f.AtRest(); }));
    f.dlg.WaitForWorker();
    EXPECT_EQ(f.Text(IDC_MD5), "");

    const std::function<void()> refusals[] = {
        [] { throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again)); }, [] { throw std::bad_alloc(); }};
    for (const auto& refuse : refusals) {
        f.messages.clear();
        f.dlg.SetStartThread([&](std::thread&, std::function<void()>) { refuse(); });
        f.Drop({f.Sparse("big", kBig)});
        EXPECT_TRUE(f.AtRest());
        EXPECT_EQ(f.messages, Strings{"无法启动计算线程，请稍后重试!"});
    }
    f.dlg.SetStartThread([](std::thread& thread, std::function<void()> body) { thread = std::thread(std::move(body)); });
    f.Drop({f.dir.File("big")});
    EXPECT_TRUE(f.Running());
    f.Click(IDOK);
    EXPECT_FALSE(f.dlg.IsWindowVisible());
}

// A drop is no user input to the loop that waits for a worker: one that reaches the dialog there
// must neither start a worker that the wait would join (a hang) nor be lost.
TEST(RequestFlow, DropsWhileTheDialogWaitsForAWorkerNeverHang)
{
    for (const bool close : {false, true}) {
        DialogFixture f;
        // The stopped worker begins only now: it cannot end before the dialog serves its calls,
        // so the queued drop reaches the dialog inside the wait of the request that follows.
        std::promise<void> begin;
        f.dlg.SetStartThread([started = begin.get_future().share()](std::thread& thread, std::function<void()> body) {
            thread = std::thread([started, body = std::move(body)] {
                started.wait();
                body();
            });
        });
        const std::string big = f.Sparse("big", kBig), other = f.Sparse("other", kBig);
        if (close)
            begin.set_value();
        f.Drop({big});
        f.Click(close ? IDOK : IDC_CALC);
        f.Drop({other}, true);
        if (!close)
            begin.set_value();
        f.Drop({big}, close);
        if (!close) {
            EXPECT_TRUE(f.Running()) << "the last choice is taken once the old worker is gone";
            EXPECT_EQ(f.Text(IDC_PATH), other);
            f.Click(IDOK);
        }
        EXPECT_FALSE(f.dlg.IsWindowVisible());
    }
}

TEST(RequestFlow, PathsThatCannotBeHashedGiveTheirMessageAndClearAnEarlierResult)
{
    DialogFixture f;
    const std::string good = f.Pattern("good", 1000), empty = f.Pattern("empty", 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {f.dir.File("missing"), "文件不存在!"}, {empty, kSizeZero}, {f.dir.Path() + "/", kSizeZero}};
#ifndef _WIN32
    ASSERT_EQ(mkfifo(f.dir.File("fifo").c_str(), 0600), 0);
    cases.emplace_back(f.dir.File("fifo"), kSizeZero);
#endif
    for (const auto& [path, message] : cases) {
        f.Drop({good});
        ASSERT_EQ(f.Text(IDC_MD5), kSmallDigest);
        f.messages.clear();
        f.Drop({path});
        EXPECT_EQ(f.messages, Strings{message}) << path;
        EXPECT_TRUE(f.AtRest()) << path;
        EXPECT_EQ(f.Results(), kNoResults) << path;
    }
    // The hidden trigger comes before the first choice; with no file chosen yet, Calculate
    // opens the chooser instead, and cancelling it changes nothing.
    f.messages.clear();
    f.dlg.SetDlgItemText(IDC_PATH, "417+508");
    f.dlg.OnCalculate();
    EXPECT_EQ(f.messages, Strings{"我爱啃大苹果!"});
    DialogFixture g;
    g.dlg.SetDlgItemText(IDC_PATH, good);
    g.dlg.OnCalculate();
    EXPECT_EQ(g.chooserOpened, 1);
    EXPECT_EQ(g.Text(IDC_MD5), "");
}

// Names that Win32 turns into others unless told not to (trailing dots and spaces go, device
// names open devices), or that are no UTF-8, are hashed as they stand, never as their twins.
TEST(RequestFlow, NamesAreHashedAsTheyStandNotAsTheirTwins)
{
    DialogFixture f;
    f.Pattern("dot", 1), f.Pattern("sp", 1), f.Pattern("caf\uFFFD.txt", 1);
    std::vector<std::string> names = {"dot.", "sp ", "nul.txt"};
#ifndef _WIN32
    names.push_back("caf\xE9.txt");  // Latin-1 bytes that no UTF-8 reading may turn into its twin
#endif
    for (const std::string& name : names) {
        f.Drop({f.Pattern(name, 1000)});
        EXPECT_EQ(f.Texts({IDC_MD5, IDC_FILE_NAME, IDC_FILE_SIZE}), (Strings{kSmallDigest, name, "1000字节"}));
    }
}

TEST(RequestFlow, ChosenFilesShowWholePathNameSizeAndVersionStrings)
{
    DialogFixture f;
    const std::string chinese = f.Pattern("中文 名字.bin", 1048576);
    f.Browse(chinese);
    f.Click(IDC_BROWSE);  // cancelled: changes nothing
    EXPECT_EQ(f.Text(IDC_PATH), chinese);
    EXPECT_EQ(f.Results(), (Strings{"A66BEFC61DC4773A928BD6958403E2CE", "中文 名字.bin", "1048576字节", "", "", "", ""}));

    std::string folder = f.dir.Path();
    while (folder.size() < 300)
        folder += "/" + std::string(40, 'd');
    std::filesystem::create_directories(std::filesystem::u8path(folder));
    const std::string exe = folder + "/程序.exe";
    WriteBytes(exe, PeFileWithVersionStrings(u"描述", u"公司", u"产品", u"1, 2, 3, 4"));
    f.Drop({exe, f.dir.File("ignored")});
    EXPECT_EQ(f.Text(IDC_PATH), exe);
    EXPECT_EQ(f.Texts({IDC_FILE_NAME, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION}),
              (Strings{"程序.exe", "描述", "公司", "产品", "1, 2, 3, 4"}));
    f.Drop({"http://www.zanfo.com/"});
    EXPECT_EQ(f.Text(IDC_PATH), exe) << "only local files are taken";
}

}  // namespace
