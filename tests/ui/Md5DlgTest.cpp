#include "AboutDlg.h"
#include "DialogTestSupport.h"
#include "LinkStatic.h"
#include "Md5Dlg.h"
#include "Md5ProgressEvent.h"
#include "resource.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kCalculate = QString::fromUtf8("计算");
const QString kStop = QString::fromUtf8("停止");
const int kDetailLabels[] = {IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION};

struct DialogFixture {
    CMd5Dlg dlg;
    std::vector<std::pair<std::string, int>> opened;

    DialogFixture()
    {
        dlg.SetShellOpen([this](const std::string& url, int show) {
            opened.emplace_back(url, show);
            return 42;
        });
        dlg.Create();
        dlg.show();
        dlg.activateWindow();
    }

    bool Visible(int id) { return dlg.GetDlgItem(id)->isVisible(); }

    int SendProgress(int percent)
    {
        CMd5ProgressEvent message(percent);
        QApplication::sendEvent(&dlg, &message);
        return message.Result();
    }
};

TEST(Md5Dlg, StartsAtRest)
{
    DialogFixture f;
    EXPECT_FALSE(f.Visible(IDC_PROGRESS));
    EXPECT_FALSE(f.Visible(IDC_CALC));
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_CALC), kCalculate);
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_PATH), "");
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_MD5), "");
    for (const int id : kDetailLabels)
        EXPECT_EQ(f.dlg.GetDlgItemText(id), "") << id;
    auto* link = qobject_cast<CLinkStatic*>(f.dlg.GetDlgItem(IDC_SITE_LINK));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->LinkUrl(), "http://www.zanfo.com/");
    EXPECT_EQ(link->text(), QString::fromUtf8("访问Zanfo文件诊所"));
    EXPECT_FALSE(f.dlg.windowIcon().isNull());
    EXPECT_EQ(f.dlg.OnQueryDragIcon().cacheKey(), f.dlg.windowIcon().cacheKey());
    EXPECT_TRUE(static_cast<QLineEdit*>(f.dlg.GetDlgItem(IDC_MD5))->isReadOnly());
}

TEST(Md5Dlg, EnterAndEscapeDoNothingWhereverTheFocusIs)
{
    DialogFixture f;
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (const int id : {IDC_BROWSE, IDC_ABOUT, IDOK, IDC_QUERY})
        clicks.push_back(std::make_unique<QSignalSpy>(static_cast<QPushButton*>(f.dlg.GetDlgItem(id)), &QPushButton::clicked));
    QSignalSpy rejected(&f.dlg, &QDialog::rejected);
    QSignalSpy accepted(&f.dlg, &QDialog::accepted);
    static_cast<QLineEdit*>(f.dlg.GetDlgItem(IDC_PATH))->setText("/tmp");

    for (const int focus : {IDC_PATH, IDC_BROWSE, IDOK, IDC_MD5, IDC_QUERY}) {
        QWidget* target = f.dlg.GetDlgItem(focus);
        target->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
    for (const auto& spy : clicks)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(rejected.count(), 0);
    EXPECT_EQ(accepted.count(), 0);
    EXPECT_TRUE(f.dlg.isVisible());
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_PATH), "/tmp");
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_MD5), "") << "Enter in the path box starts nothing";
}

TEST(Md5Dlg, AboutOpensFromTheButtonAndTheSystemCommandAndClosesEveryWay)
{
    DialogFixture f;
    f.dlg.SetDlgItemText(IDC_PATH, "kept");
    const std::vector<std::function<void(QWidget*)>> closers = {
        [](QWidget* box) { static_cast<QPushButton*>(static_cast<CAboutDlg*>(box)->GetDlgItem(IDOK))->click(); },
        [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); },
        [](QWidget* box) { box->close(); },
    };
    for (const auto& close : closers) {
        QString title;
        bool isAbout = false;
        EXPECT_TRUE(WithNextModal([&] { static_cast<QPushButton*>(f.dlg.GetDlgItem(IDC_ABOUT))->click(); },
                                  [&](QWidget* box) {
                                      title = box->windowTitle();
                                      isAbout = qobject_cast<CAboutDlg*>(box) != nullptr;
                                      EXPECT_TRUE(box->isModal());
                                      close(box);
                                  }));
        EXPECT_TRUE(isAbout);
        EXPECT_EQ(title, QString::fromUtf8("关于MD5值计算工具"));
    }
    for (const unsigned command : {0x0010u, 0x0011u, 0x001Fu}) {
        bool isAbout = false;
        EXPECT_TRUE(WithNextModal([&] { f.dlg.OnSysCommand(command, 0); },
                                  [&](QWidget* box) {
                                      isAbout = qobject_cast<CAboutDlg*>(box) != nullptr;
                                      box->close();
                                  }));
        EXPECT_TRUE(isAbout) << command;
    }
    EXPECT_TRUE(f.dlg.isVisible());
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_PATH), "kept");
    EXPECT_FALSE(f.Visible(IDC_CALC));
}

TEST(Md5Dlg, QueryOpensTheStartPageOrTheSearchPage)
{
    DialogFixture f;
    static_cast<QPushButton*>(f.dlg.GetDlgItem(IDC_QUERY))->click();
    f.dlg.SetDlgItemText(IDC_MD5, "900150983CD24FB0D6963F7D28E17F72");
    static_cast<QPushButton*>(f.dlg.GetDlgItem(IDC_QUERY))->click();
    ASSERT_EQ(f.opened.size(), 2u);
    EXPECT_EQ(f.opened[0], std::make_pair(std::string("http://www.zanfo.com/"), 1));
    EXPECT_EQ(f.opened[1],
              std::make_pair(std::string("http://www.zanfo.com/Search/FileSearch.aspx?SearchValue=900150983CD24FB0D6963F7D28E17F72"
                                         "&FileSearch=0&SearchType=1"),
                             1));
}

TEST(Md5Dlg, ProgressMovesTheBarAndAtHundredReturnsToRest)
{
    DialogFixture f;
    f.dlg.ShowDlgItem(IDC_PROGRESS, true);
    f.dlg.ShowDlgItem(IDC_CALC, true);
    f.dlg.SetDlgItemText(IDC_CALC, kStop);

    EXPECT_EQ(f.SendProgress(99), 1);
    EXPECT_EQ(static_cast<QProgressBar*>(f.dlg.GetDlgItem(IDC_PROGRESS))->value(), 99);
    EXPECT_TRUE(f.Visible(IDC_PROGRESS));
    EXPECT_TRUE(f.Visible(IDC_CALC));
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_CALC), kStop);

    EXPECT_EQ(f.SendProgress(100), 1);
    EXPECT_FALSE(f.Visible(IDC_PROGRESS));
    EXPECT_FALSE(f.Visible(IDC_CALC));
    EXPECT_EQ(f.dlg.GetDlgItemText(IDC_CALC), kCalculate);
}

}  // namespace
