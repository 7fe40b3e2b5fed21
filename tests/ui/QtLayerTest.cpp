#include "app/AboutDlg.h"
#include "res/DialogResource.h"
#include "tests/support/DialogFixture.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// Reads a DLGTEMPLATEEX the way Windows does: words and dwords, UTF-16 texts or ordinals.
struct CDialogResourceReader {
    std::vector<unsigned char> bytes;
    std::size_t at = 0;
    std::uint32_t Word() { return at += 2, bytes.at(at - 2) | bytes.at(at - 1) << 8; }
    std::uint32_t Dword()
    {
        const std::uint32_t low = Word();
        return low | Word() << 16;
    }
    void Align() { at = (at + 3) / 4 * 4; }
    // x, y, cx, cy in dialog units, mapped as the dialog maps them.
    QRect Place(CTemplateDialog& dlg)
    {
        int units[4];
        for (int& unit : units)
            unit = static_cast<std::int16_t>(Word());
        const ItemRect rect = dlg.MapDialogRect(units[0], units[1], units[2], units[3]);
        return QRect(rect.x, rect.y, rect.cx, rect.cy);
    }
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
};

// A control's class and text as a dialog template names them.
std::pair<QString, QString> ClassAndText(QWidget* widget)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        return {"#130", label->pixmap().isNull() ? label->text() : "#128"};
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return {"#129", edit->text()};
    if (qobject_cast<QProgressBar*>(widget))
        return {"msctls_progress32", "Progress1"};  // a progress bar shows no text
    auto* group = qobject_cast<QGroupBox*>(widget);
    return {"#128", group ? group->title() : static_cast<QPushButton*>(widget)->text()};
}

// The dialogs Windows is given and the ones the Qt layer builds, compared with each other:
// title, font, size, and every control's class, text, place, style, identifier and order.
TEST(QtLayer, WhatWindowsGetsIsWhatTheQtLayerBuilds)
{
    QApplication::setFont(QFont(QApplication::font().family(), 12));  // the template's size must win over the default
    CMd5Dlg main;
    main.Create();
    CAboutDlg about;
    about.Create();
    for (CTemplateDialog* dlg : {static_cast<CTemplateDialog*>(&main), static_cast<CTemplateDialog*>(&about)}) {
        auto* window = static_cast<QWidget*>(dlg->NativeWindow());
        CDialogResourceReader in{BuildDialogResource(dlg->Template())};
        EXPECT_EQ(in.Dword(), 0xFFFF0001u) << "DLGTEMPLATEEX";
        in.Dword();
        EXPECT_EQ(in.Dword(),
                  (window->windowType() == Qt::Window ? Style::kExAppWindow : 0) | Style::kExAcceptFiles * window->acceptDrops());
        EXPECT_TRUE(in.Dword() & 0x40) << "DS_SETFONT";
        const std::size_t count = in.Word();
        EXPECT_EQ(in.Place(*dlg).size(), window->size());
        EXPECT_EQ(in.Word() | in.Word(), 0u) << "no menu, the default class";
        EXPECT_EQ(in.TextOrOrdinal(), window->windowTitle());
        EXPECT_EQ(static_cast<int>(in.Word()), window->font().pointSize());
        EXPECT_EQ(in.Dword() & 0xFFFF, 0u) << "the template's weight, 0";
        in.TextOrOrdinal();  // the face; the Qt layer stands in an installed Chinese font for it
        EXPECT_TRUE(QFontDatabase::writingSystems(window->font().family()).contains(QFontDatabase::SimplifiedChinese));
        // Qt's own buttons speak Chinese too (where qt6-translations-l10n is installed).
        EXPECT_EQ(QMessageBox(QMessageBox::NoIcon, "t", "x", QMessageBox::Ok).button(QMessageBox::Ok)->text(), QString::fromUtf8("确定"));
        // Stacked first on top, the controls are the window's children in reverse template order.
        const QList<QWidget*> children = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(count, static_cast<std::size_t>(children.size()));
        for (QWidget* widget : std::vector<QWidget*>(children.rbegin(), children.rend())) {
            in.Align();
            in.Dword();
            EXPECT_EQ(in.Dword(), 0u);
            const std::uint32_t style = in.Dword();
            const QRect place = in.Place(*dlg);
            const auto [className, text] = ClassAndText(widget);
            const std::string what = text.toStdString();
            // The link label takes SS_NOTIFY and fits its text once made, on Windows as here.
            const bool link = widget->property("controlId").toInt() == IDC_SITE_LINK;
            EXPECT_EQ(style, widget->property("windowStyle").toUInt() & ~(link ? Style::kStaticNotify : 0)) << what;
            EXPECT_EQ(static_cast<int>(in.Dword()), widget->property("controlId").toInt()) << what;
            EXPECT_EQ(in.TextOrOrdinal(), className) << what;
            EXPECT_EQ(in.TextOrOrdinal(), text);
            EXPECT_EQ(in.Word(), 0u);
            // The icon is 32 x 32 pixels, as Windows sizes SS_ICON, whatever the dialog units.
            EXPECT_EQ(text == "#128" ? QRect(place.topLeft(), QSize(32, 32))
                      : link         ? QRect(place.topLeft(), widget->size())
                                     : place,
                      widget->geometry())
                << what;
        }
    }
}

}  // namespace
