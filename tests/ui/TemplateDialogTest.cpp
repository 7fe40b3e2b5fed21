#include "AboutDlg.h"
#include "Md5Dlg.h"
#include "resource.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

TEST(DialogTemplates, MainDialogControlsInTemplateOrder)
{
    const DialogTemplate& main = MainDialogTemplate();
    ASSERT_EQ(main.items.size(), 27u);
    std::vector<int> ids;
    for (const DialogItemTemplate& item : main.items)
        ids.push_back(item.id);
    EXPECT_EQ(ids, (std::vector<int>{IDC_PATH, IDC_BROWSE, IDC_CALC, IDC_ABOUT, IDOK, IDC_MD5, -1, -1, -1, IDC_PROGRESS, -1, -1,
                                     IDC_SITE_LINK, IDC_QUERY, -1, -1, IDC_FILE_SIZE, -1, IDC_FILE_NAME, -1, IDC_PRODUCT_NAME, -1,
                                     IDC_COMPANY, -1, IDC_PRODUCT_VERSION, -1, IDC_DESCRIPTION}));
    EXPECT_EQ(main.title, "Zanfo文件诊所MD5值计算工具1.1beta");
    EXPECT_EQ(main.style, 0x90CA00C0u);
    EXPECT_EQ(main.exStyle, 0x00040010u);
    EXPECT_EQ(AboutDialogTemplate().items.size(), 7u);
}

// Every control of a built dialog against its template row: class, text, place.
void ExpectBuiltAsTemplated(const CTemplateDialog& dlg)
{
    const DialogTemplate& layout = dlg.Template();
    ASSERT_EQ(dlg.Controls().size(), layout.items.size());
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const DialogItemTemplate& item = layout.items[i];
        QWidget* widget = dlg.Controls()[i];
        SCOPED_TRACE(layout.title + ": " + item.text + " #" + std::to_string(i + 1));
        if (item.id != IDC_SITE_LINK) {  // the link is refitted to its text
            EXPECT_EQ(widget->geometry(), dlg.MapDialogRect(item.x, item.y, item.cx, item.cy));
        }
        EXPECT_EQ(widget->isVisibleTo(const_cast<CTemplateDialog*>(&dlg)),
                  item.id != IDC_PROGRESS && item.id != IDC_CALC)
            << "visible as the template says, but for the two the main dialog hides";
        switch (item.controlClass) {
        case ControlClass::Edit:
            EXPECT_NE(qobject_cast<QLineEdit*>(widget), nullptr);
            break;
        case ControlClass::Progress:
            EXPECT_NE(qobject_cast<QProgressBar*>(widget), nullptr);
            break;
        case ControlClass::Static: {
            auto* label = qobject_cast<QLabel*>(widget);
            ASSERT_NE(label, nullptr);
            if ((item.style & 0x1F) == 0x3)
                EXPECT_FALSE(label->pixmap().isNull()) << "an icon static shows the icon";
            else
                EXPECT_EQ(label->text().toStdString(), item.text);
            break;
        }
        case ControlClass::Button: {
            const QString text = item.style == 0x50000007 ? qobject_cast<QGroupBox*>(widget)->title()
                                                          : qobject_cast<QPushButton*>(widget)->text();
            EXPECT_EQ(text.toStdString(), item.text);
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_FALSE(button->autoDefault());
                EXPECT_EQ(button->isDefault(), (item.style & 0xF) == 1);
            }
            break;
        }
        }
    }
    EXPECT_EQ(dlg.size(), dlg.MapDialogRect(0, 0, layout.cx, layout.cy).size());
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize()) << "fixed size";
    EXPECT_FALSE(dlg.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(dlg.windowTitle().toStdString(), layout.title);
}

TEST(DialogTemplates, ControlsAreBuiltWithTheirClassTextAndPlace)
{
    CMd5Dlg main;
    main.Create();
    ExpectBuiltAsTemplated(main);
    EXPECT_TRUE(main.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(main.acceptDrops());

    CAboutDlg about;
    about.Create();
    ExpectBuiltAsTemplated(about);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about.acceptDrops());
}

TEST(DialogTemplates, TabOrderFollowsTheTemplateAndSkipsHiddenControls)
{
    CMd5Dlg dlg;
    dlg.Create();
    dlg.show();
    std::vector<QWidget*> order;
    QWidget* start = dlg.GetDlgItem(IDC_PATH);
    QWidget* widget = start;
    do {
        if (widget->isVisible() && (widget->focusPolicy() & Qt::TabFocus) && widget->isWindow() == false)
            order.push_back(widget);
        widget = widget->nextInFocusChain();
    } while (widget != start && order.size() < 50);
    std::vector<QWidget*> expected;
    for (const int id : {IDC_PATH, IDC_BROWSE, IDC_ABOUT, IDOK, IDC_MD5, IDC_QUERY})
        expected.push_back(dlg.GetDlgItem(id));
    EXPECT_EQ(order, expected);
}

TEST(DialogTemplates, NoTextIsClippedWithTheFontInUse)
{
    CMd5Dlg main;
    main.Create();
    CAboutDlg about;
    about.Create();
    for (CTemplateDialog* dlg : std::initializer_list<CTemplateDialog*>{&main, &about}) {
        for (QWidget* widget : dlg->Controls()) {
            const QFontMetrics metrics(widget->font());
            QString text;
            int room = widget->width();
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                text = label->text();
            } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                text = button->text();
                room -= 8;  // the button's frame and padding
                EXPECT_LE(metrics.height() + 4, widget->height()) << text.toStdString();
            } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                text = group->title();
            }
            if (text.isEmpty())
                continue;
            SCOPED_TRACE(text.toStdString());
            EXPECT_LE(metrics.horizontalAdvance(text), room);
            EXPECT_LE(metrics.height(), widget->height());
        }
    }
}

TEST(DialogTemplates, DialogFontIsAChineseFont)
{
    const QFont font = CTemplateDialog::DialogFont(MainDialogTemplate());
    EXPECT_EQ(font.pointSize(), 9);
    EXPECT_TRUE(QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::SimplifiedChinese)) << font.family().toStdString();
}

}  // namespace
