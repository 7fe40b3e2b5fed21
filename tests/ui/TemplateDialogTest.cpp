#include "AboutDlg.h"
#include "DialogResource.h"
#include "WindowStyle.h"
#include "DialogFixture.h"
#include "LinkStatic.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
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

// Reads a DLGTEMPLATEEX the way Windows does: words and dwords, UTF-16 texts or ordinals.
class CDialogResourceReader {
public:
    explicit CDialogResourceReader(std::vector<unsigned char> bytes)
        : m_bytes(std::move(bytes))
    {
    }
    std::uint32_t Word() { return m_at += 2, m_bytes.at(m_at - 2) | m_bytes.at(m_at - 1) << 8; }
    std::uint32_t Dword() { return Word() | Word() << 16; }
    int Short() { return static_cast<std::int16_t>(Word()); }
    void Align() { m_at = (m_at + 3) / 4 * 4; }
    QString TextOrOrdinal()
    {
        std::u16string text;
        for (std::uint32_t unit = Word(); unit != 0; unit = Word()) {
            if (unit == 0xFFFF && text.empty())
                return "#" + QString::number(Word());
            text += static_cast<char16_t>(unit);
        }
        return QString::fromStdU16String(text);
    }

private:
    std::vector<unsigned char> m_bytes;
    std::size_t m_at = 0;
};

QString ShownText(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->pixmap().isNull() ? label->text() : "#128";
    if (auto* button = qobject_cast<QPushButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return "Progress1";  // a progress bar shows no text
}

QString ClassOf(QWidget* widget)
{
    if (qobject_cast<QLabel*>(widget))
        return "#130";
    if (qobject_cast<QLineEdit*>(widget))
        return "#129";
    return qobject_cast<QProgressBar*>(widget) ? "msctls_progress32" : "#128";
}

// The dialogs Windows is given and the ones the Qt layer builds, compared with each other:
// title, font, size, and every control's class, text, place, style, identifier and order.
TEST(DialogWindow, WhatWindowsGetsIsWhatTheQtLayerBuilds)
{
    CMd5Dlg main;
    main.Create();
    CAboutDlg about;
    about.Create();
    for (CTemplateDialog* dlg : {static_cast<CTemplateDialog*>(&main), static_cast<CTemplateDialog*>(&about)}) {
        CDialogResourceReader in(BuildDialogResource(dlg->Template()));
        EXPECT_EQ(in.Word(), 1u);
        EXPECT_EQ(in.Word(), 0xFFFFu);
        in.Dword();
        EXPECT_EQ(in.Dword(), (dlg->windowType() == Qt::Window ? Style::kExAppWindow : 0) | Style::kExAcceptFiles * dlg->acceptDrops());
        EXPECT_TRUE(in.Dword() & 0x40) << "DS_SETFONT";
        const std::size_t count = in.Word();
        const int x = in.Short(), y = in.Short(), cx = in.Short(), cy = in.Short();
        EXPECT_EQ(dlg->MapDialogRect(x, y, cx, cy).size(), dlg->size());
        EXPECT_EQ(in.Word() | in.Word(), 0u) << "no menu, the default class";
        EXPECT_EQ(in.TextOrOrdinal(), dlg->windowTitle());
        EXPECT_EQ(static_cast<int>(in.Word()), dlg->font().pointSize());
        in.Dword();
        in.TextOrOrdinal();  // the face; the Qt layer stands in an installed font for it
        ASSERT_EQ(count, dlg->Controls().size());
        for (QWidget* widget : dlg->Controls()) {
            in.Align();
            in.Dword();
            EXPECT_EQ(in.Dword(), 0u);
            const std::uint32_t style = in.Dword();
            const int ix = in.Short(), iy = in.Short(), icx = in.Short(), icy = in.Short();
            const QString text = ShownText(widget);
            // The link label takes SS_NOTIFY and fits its text once made, on Windows as here.
            const bool link = qobject_cast<CLinkStatic*>(widget) != nullptr;
            EXPECT_EQ(style, Style::Of(widget) & ~(link ? Style::kStaticNotify : 0)) << text.toStdString();
            EXPECT_EQ(static_cast<int>(in.Dword()), widget->property("controlId").toInt()) << text.toStdString();
            EXPECT_EQ(in.TextOrOrdinal(), ClassOf(widget)) << text.toStdString();
            EXPECT_EQ(in.TextOrOrdinal(), text);
            EXPECT_EQ(in.Word(), 0u);
            const QRect place = dlg->MapDialogRect(ix, iy, icx, icy);
            const bool sizedByContent = link || text == "#128";
            EXPECT_EQ(sizedByContent ? QRect(place.topLeft(), widget->size()) : place, widget->geometry()) << text.toStdString();
        }
    }
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
