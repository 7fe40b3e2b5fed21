#include "AboutDlg.h"
#include "DialogFixture.h"
#include "LinkStatic.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

// A click at the centre of every control a user can click, delivered to the window: the
// control under the pointer must be the one that reacts, whatever frames it.
TEST(DialogWindow, EveryControlAnswersAClickAtItsCentre)
{
    DialogFixture f;
    static std::vector<std::string> linkOpens;  // a launcher is a plain function: it records here
    qobject_cast<CLinkStatic*>(f.Item(IDC_SITE_LINK))
        ->SetLauncher({[](const std::string& url, int) {
                           linkOpens.push_back(url);
                           return 42;
                       },
                       [](QWidget*, int) {}, [] {}});

    ClickAt(f.Item(IDC_PATH));
    EXPECT_TRUE(f.Item(IDC_PATH)->hasFocus()) << "path box";
    ClickAt(f.Item(IDC_BROWSE));
    EXPECT_EQ(f.chooserOpened, 1) << "浏览文件";
    ClickAt(f.Item(IDC_QUERY));
    EXPECT_EQ(f.opened.size(), 1u) << "查询MD5值";
    ClickAt(f.Item(IDC_SITE_LINK));
    EXPECT_EQ(linkOpens, std::vector<std::string>{"http://www.zanfo.com/"}) << "the link";

    f.Drop({f.Sparse("big", 512 * 1048576ull)});
    ASSERT_TRUE(f.Running());
    ClickAt(f.Item(IDC_CALC));
    EXPECT_TRUE(f.AtRest()) << "停止";

    bool aboutClosed = false;
    EXPECT_TRUE(WithNextModal([&] { ClickAt(f.Item(IDC_ABOUT)); },
                              [&](QWidget* box) {
                                  ClickAt(static_cast<CAboutDlg*>(box)->GetDlgItem(IDOK));
                                  aboutClosed = !box->isVisible();
                              }))
        << "关 于";
    EXPECT_TRUE(aboutClosed) << "确定";

    ClickAt(f.Item(IDOK));
    EXPECT_FALSE(f.dlg.isVisible()) << "退 出";
}

// Hover colour, hand cursor and tooltip come from the pointer moving over the link in the dialog.
TEST(DialogWindow, TheLinkAnswersThePointer)
{
    DialogFixture f;
    auto* link = qobject_cast<CLinkStatic*>(f.Item(IDC_SITE_LINK));
    const QPoint away = CentreInWindow(f.Item(IDC_MD5));
    MovePointer(&f.dlg, away);
    MovePointer(&f.dlg, CentreInWindow(link));
    EXPECT_TRUE(link->IsHovering());
    EXPECT_EQ(f.dlg.windowHandle()->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(WaitUntil([&] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text(), "http://www.zanfo.com/");
    MovePointer(&f.dlg, away);
    EXPECT_FALSE(link->IsHovering());
    EXPECT_NE(f.dlg.windowHandle()->cursor().shape(), Qt::PointingHandCursor);
}

// What the user first sees: an application window of its own (for the taskbar) at rest, with
// empty boxes and the link to the service; a fixed-size About box with its icon.
TEST(DialogWindow, TheWindowsAsTheUserFirstSeesThem)
{
    DialogFixture f;
    CAboutDlg about(&f.dlg);
    about.Create();
    EXPECT_EQ(f.dlg.windowType(), Qt::Window);
    EXPECT_TRUE(f.dlg.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(about.windowType(), Qt::Dialog);
    EXPECT_FALSE(about.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(f.dlg.windowTitle(), QString::fromUtf8("Zanfo文件诊所MD5值计算工具1.1beta"));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    auto* icon = qobject_cast<QLabel*>(about.Controls().front());
    EXPECT_EQ(icon->size(), QSize(32, 32)) << "an icon static is sized to its icon";
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(f.dlg.OnQueryDragIcon().cacheKey(), f.dlg.windowIcon().cacheKey());

    EXPECT_TRUE(f.AtRest());
    for (const int id : {IDC_PATH, IDC_MD5, IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME,
                         IDC_PRODUCT_VERSION})
        EXPECT_EQ(f.Text(id), "") << id;
    EXPECT_TRUE(static_cast<QLineEdit*>(f.Item(IDC_MD5))->isReadOnly());
    auto* link = qobject_cast<CLinkStatic*>(f.Item(IDC_SITE_LINK));
    EXPECT_EQ(link->LinkUrl(), "http://www.zanfo.com/");
    EXPECT_EQ(link->text(), QString::fromUtf8("访问Zanfo文件诊所"));
}

TEST(DialogWindow, TabOrderFollowsTheTemplateAndSkipsHiddenControls)
{
    DialogFixture f;
    std::vector<QWidget*> order;
    QWidget* widget = f.Item(IDC_PATH);
    do {
        if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) && !widget->isWindow())
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != f.Item(IDC_PATH) && order.size() < 50);
    std::vector<QWidget*> expected;
    for (const int id : {IDC_PATH, IDC_BROWSE, IDC_ABOUT, IDOK, IDC_MD5, IDC_QUERY})
        expected.push_back(f.Item(id));
    EXPECT_EQ(order, expected);
}

TEST(DialogWindow, NoTextIsClippedWithTheChineseFontInUse)
{
    const QFont font = CTemplateDialog::DialogFont(MainDialogTemplate());
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese));
    CMd5Dlg main;
    main.Create();
    CAboutDlg about;
    about.Create();
    for (CTemplateDialog* dlg : {static_cast<CTemplateDialog*>(&main), static_cast<CTemplateDialog*>(&about)}) {
        for (QWidget* widget : dlg->Controls()) {
            const QFontMetrics metrics(widget->font());
            QString text;
            int room = widget->width();
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                text = label->text();
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                text = button->text();
                room -= 8;  // the button's frame and padding
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                text = group->title();
            }
            if (text.isEmpty())
                continue;
            EXPECT_LE(metrics.horizontalAdvance(text), room) << text.toStdString();
            EXPECT_LE(metrics.height(), widget->height()) << text.toStdString();
        }
    }
}

}  // namespace
