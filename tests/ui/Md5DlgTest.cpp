#include "DialogFixture.h"
#include "Md5ProgressEvent.h"

#include <QProgressBar>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

TEST(Md5Dlg, EnterAndEscapeDoNothingWhereverTheFocusIs)
{
    DialogFixture f;
    QSignalSpy rejected(&f.dlg, &QDialog::rejected);
    QSignalSpy accepted(&f.dlg, &QDialog::accepted);
    f.dlg.SetDlgItemText(IDC_PATH, "/etc/hostname");
    for (const int focus : {IDC_PATH, IDC_BROWSE, IDOK, IDC_MD5, IDC_QUERY, IDC_ABOUT}) {
        f.Item(focus)->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(f.dlg.windowHandle(), key);
    }
    EXPECT_EQ(rejected.count() + accepted.count(), 0);
    EXPECT_TRUE(f.dlg.isVisible());
    EXPECT_EQ(f.chooserOpened, 0);
    EXPECT_TRUE(f.opened.empty());
    EXPECT_EQ(f.Text(IDC_MD5), "") << "Enter in the path box starts nothing";
}

TEST(Md5Dlg, SystemCommandsOpenAboutOnlyForItsOwnRange)
{
    DialogFixture f;
    const std::pair<unsigned, bool> cases[] = {
        {0x0010, true}, {0x0011, true}, {0x001F, true},  // the low four bits are the system's own
        {0x000F, false}, {0x0020, false}, {0xF020, false}, {0xF060, false}, {0x1010, false},
    };
    for (const auto& [command, opens] : cases) {
        QString title;
        bool closedByKey = false;
        // Escape, or Enter on the default button 确定, closes the box.
        const Qt::Key key = command == 0x0010 ? Qt::Key_Return : Qt::Key_Escape;
        const bool opened = WithNextModal([&, command = command] { f.dlg.OnSysCommand(command, 0); },
                                          [&](QWidget* box) {
                                              title = box->windowTitle();
                                              QTest::keyClick(box->windowHandle(), key);
                                              closedByKey = !box->isVisible();
                                              box->close();
                                          });
        EXPECT_EQ(opened, opens) << command;
        EXPECT_EQ(closedByKey, opens) << command;
        EXPECT_EQ(title, opens ? QString::fromUtf8("关于MD5值计算工具") : QString()) << command;
    }
    EXPECT_TRUE(f.dlg.isVisible());
}

TEST(Md5Dlg, QueryOpensTheStartPageOrTheSearchPage)
{
    DialogFixture f;
    ClickAt(f.Item(IDC_QUERY));
    f.dlg.SetDlgItemText(IDC_MD5, "900150983CD24FB0D6963F7D28E17F72");
    ClickAt(f.Item(IDC_QUERY));
    const std::vector<std::pair<std::string, int>> expected = {
        {"http://www.zanfo.com/", 1},
        {"http://www.zanfo.com/Search/FileSearch.aspx?SearchValue=900150983CD24FB0D6963F7D28E17F72&FileSearch=0&SearchType=1", 1},
    };
    EXPECT_EQ(f.opened, expected);
}

TEST(Md5Dlg, ProgressMovesTheBarAndAtHundredReturnsToRest)
{
    DialogFixture f;
    f.dlg.ShowDlgItem(IDC_PROGRESS, true);
    f.dlg.ShowDlgItem(IDC_CALC, true);
    f.dlg.SetDlgItemText(IDC_CALC, QString::fromUtf8("停止"));
    for (const int percent : {99, 100}) {
        CMd5ProgressEvent message(percent);
        QApplication::sendEvent(&f.dlg, &message);
        EXPECT_EQ(message.Result(), 1);
        EXPECT_EQ(static_cast<QProgressBar*>(f.Item(IDC_PROGRESS))->value(), percent);
        EXPECT_EQ(f.Running(), percent < 100);
        EXPECT_EQ(f.AtRest(), percent == 100);
    }
}

}  // namespace
