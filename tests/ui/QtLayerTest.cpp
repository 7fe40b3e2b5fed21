#include "AboutDlg.h"
#include "DialogResource.h"
#include "DialogFixture.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QMessageBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

std::vector<QWidget*> Controls(CTemplateDialog& dlg)
{
    // Stacked first on top, the controls are the window's children in reverse template order.
    QList<QWidget*> children = static_cast<QWidget*>(dlg.NativeWindow())->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    return std::vector<QWidget*>(children.rbegin(), children.rend());
}

QRect Mapped(CTemplateDialog& dlg, int x, int y, int cx, int cy)
{
    const ItemRect rect = dlg.MapDialogRect(x, y, cx, cy);
    return QRect(rect.x, rect.y, rect.cx, rect.cy);
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
TEST(QtLayer, WhatWindowsGetsIsWhatTheQtLayerBuilds)
{
    CMd5Dlg main;
    main.Create();
    CAboutDlg about;
    about.Create();
    for (CTemplateDialog* dlg : {static_cast<CTemplateDialog*>(&main), static_cast<CTemplateDialog*>(&about)}) {
        auto* window = static_cast<QWidget*>(dlg->NativeWindow());
        CDialogResourceReader in(BuildDialogResource(dlg->Template()));
        EXPECT_EQ(in.Word(), 1u);
        EXPECT_EQ(in.Word(), 0xFFFFu);
        in.Dword();
        EXPECT_EQ(in.Dword(), (window->windowType() == Qt::Window ? Style::kExAppWindow : 0) | Style::kExAcceptFiles * window->acceptDrops());
        EXPECT_TRUE(in.Dword() & 0x40) << "DS_SETFONT";
        const std::size_t count = in.Word();
        const int x = in.Short(), y = in.Short(), cx = in.Short(), cy = in.Short();
        EXPECT_EQ(Mapped(*dlg, x, y, cx, cy).size(), window->size());
        EXPECT_EQ(in.Word() | in.Word(), 0u) << "no menu, the default class";
        EXPECT_EQ(in.TextOrOrdinal(), window->windowTitle());
        EXPECT_EQ(static_cast<int>(in.Word()), window->font().pointSize());
        in.Dword();
        in.TextOrOrdinal();  // the face; the Qt layer stands in an installed font for it
        ASSERT_EQ(count, Controls(*dlg).size());
        for (QWidget* widget : Controls(*dlg)) {
            in.Align();
            in.Dword();
            EXPECT_EQ(in.Dword(), 0u);
            const std::uint32_t style = in.Dword();
            const int ix = in.Short(), iy = in.Short(), icx = in.Short(), icy = in.Short();
            const QString text = ShownText(widget);
            // The link label takes SS_NOTIFY and fits its text once made, on Windows as here.
            const bool link = widget->property("controlId").toInt() == IDC_SITE_LINK;
            EXPECT_EQ(style, widget->property("windowStyle").toUInt() & ~(link ? Style::kStaticNotify : 0)) << text.toStdString();
            EXPECT_EQ(static_cast<int>(in.Dword()), widget->property("controlId").toInt()) << text.toStdString();
            EXPECT_EQ(in.TextOrOrdinal(), ClassOf(widget)) << text.toStdString();
            EXPECT_EQ(in.TextOrOrdinal(), text);
            EXPECT_EQ(in.Word(), 0u);
            const QRect place = Mapped(*dlg, ix, iy, icx, icy);
            const bool sizedByContent = link || text == "#128";
            EXPECT_EQ(sizedByContent ? QRect(place.topLeft(), widget->size()) : place, widget->geometry()) << text.toStdString();
        }
    }
}

TEST(QtLayer, TabOrderFollowsTheTemplateAndSkipsHiddenControls)
{
    DialogFixture f;
    const auto item = [&](int id) { return static_cast<QWidget*>(f.dlg.NativeItem(id)); };
    std::vector<QWidget*> order;
    QWidget* widget = item(IDC_PATH);
    do {
        if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) && !widget->isWindow())
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != item(IDC_PATH) && order.size() < 50);
    std::vector<QWidget*> expected;
    for (const int id : {IDC_PATH, IDC_BROWSE, IDC_ABOUT, IDOK, IDC_MD5, IDC_QUERY})
        expected.push_back(item(id));
    EXPECT_EQ(order, expected);
}

TEST(QtLayer, NoTextIsClippedWithTheChineseFontInUse)
{
    CMd5Dlg main;
    main.Create();
    const QFont font = static_cast<QWidget*>(main.NativeWindow())->font();
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese));
    CAboutDlg about;
    about.Create();
    for (CTemplateDialog* dlg : {static_cast<CTemplateDialog*>(&main), static_cast<CTemplateDialog*>(&about)}) {
        for (QWidget* widget : Controls(*dlg)) {
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

// Qt's own buttons speak Chinese too (where qt6-translations-l10n is installed).
TEST(QtLayer, QtsOwnTextsAreChinese)
{
    EXPECT_EQ(QMessageBox(QMessageBox::NoIcon, "t", "x", QMessageBox::Ok).button(QMessageBox::Ok)->text(), QString::fromUtf8("确定"));
}

}  // namespace
