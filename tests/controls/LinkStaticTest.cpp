#include "LinkStatic.h"
#include "WindowStyle.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

const QColor kLink(0, 0, 238);
const QColor kVisited(85, 26, 139);
const QString kCaption = QString::fromUtf8("访问Zanfo文件诊所");

// A dialog-like parent holding one static that becomes a link, with a launcher the test answers.
struct LinkFixture {
    QWidget parent;
    CLinkStatic* link;
    int openResult = 42;
    std::vector<std::pair<std::string, int>> opened;
    std::vector<int> errorsShown;
    int beeps = 0;

    explicit LinkFixture(QRect geometry = QRect(24, 246, 130, 16), unsigned style = 0, const QString& caption = kCaption,
                         const QString& urlBefore = QString())
    {
        parent.resize(600, 600);
        link = new CLinkStatic(&parent);
        link->setGeometry(geometry);
        link->setText(caption);
        WindowStyle::Set(link, style);
        link->SetLauncher({[this](const std::string& url, int show) {
                               opened.emplace_back(url, show);
                               return openResult;
                           },
                           [this](QWidget*, int code) { errorsShown.push_back(code); }, [this] { ++beeps; }});
        if (!urlBefore.isEmpty())
            link->SetLinkUrl(urlBefore);
        link->SubclassWindow();
        parent.show();
    }

    QSize TextSize() const
    {
        const QFontMetrics metrics(link->font());
        return QSize(metrics.horizontalAdvance(link->text()), metrics.height());
    }

    void Hover(bool inside)
    {
        if (inside) {
            QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QApplication::sendEvent(link, &enter);
        } else {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(link, &leave);
        }
    }

    void Click()
    {
        const QPointF inside(2, 2);
        QMouseEvent press(QEvent::MouseButtonPress, inside, link->mapToGlobal(inside), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, inside, link->mapToGlobal(inside), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(link, &press);
        QApplication::sendEvent(link, &release);
    }

    // The state colour the control paints with: the one found among the pixels it renders.
    QColor Painted() const
    {
        const QImage image = link->grab().toImage();
        const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
        for (const QColor& candidate : {kLink, kVisited, highlight})
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) == candidate)
                        return candidate;
        return QColor();
    }
};

TEST(LinkStatic, SubclassingMakesALinkOfTheCaption)
{
    LinkFixture f;
    EXPECT_EQ(f.link->LinkUrl(), kCaption) << "the URL defaults to the caption";
    EXPECT_EQ(f.link->toolTip(), kCaption);
    EXPECT_EQ(f.link->text(), kCaption);
    EXPECT_TRUE(f.link->font().underline());
    EXPECT_EQ(f.link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(WindowStyle::Of(f.link) & WindowStyle::kStaticNotify);
    EXPECT_EQ(f.Painted(), kLink);

    f.link->SetLinkUrl("http://www.zanfo.com/");
    EXPECT_EQ(f.link->toolTip(), "http://www.zanfo.com/");
    EXPECT_EQ(f.link->text(), kCaption) << "a new URL leaves the caption";

    LinkFixture empty(QRect(10, 10, 300, 40), 0, QString(), "http://example.org/");
    EXPECT_EQ(empty.link->text(), "http://example.org/") << "the caption defaults to the URL";
    EXPECT_EQ(empty.link->size(), empty.TextSize()) << "and the window fits it";
}

TEST(LinkStatic, FitFollowsTheAlignmentBits)
{
    LinkFixture left;
    const QSize text = left.TextSize();
    EXPECT_EQ(left.link->geometry(), QRect(QPoint(24, 246), text)) << "left and top stay";

    // Centred both ways: each side moves by half the difference, truncated toward zero.
    for (const int extra : {7, 8, -3, -4}) {
        const QRect before(100, 100, text.width() + extra, text.height() + extra);
        LinkFixture centred(before, WindowStyle::kStaticCenter | WindowStyle::kStaticCenterImage);
        const int shrink = extra / 2;
        EXPECT_EQ(centred.link->geometry(), before.adjusted(shrink, shrink, -shrink, -shrink)) << extra;
        EXPECT_EQ(centred.link->width(), text.width() + (extra % 2)) << extra;
    }

    LinkFixture right(QRect(50, 60, 400, 30), WindowStyle::kStaticRight);
    EXPECT_EQ(right.link->geometry(), QRect(450 - text.width(), 60, text.width(), text.height()));

    const QRect before = left.link->geometry();
    left.link->SetLinkUrl("http://a.much.longer.address.example/with/a/path");
    EXPECT_EQ(left.link->geometry(), before) << "refitting to an unchanged caption changes nothing";
}

TEST(LinkStatic, ColourFollowsHoverAndVisited)
{
    LinkFixture f;
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    f.Hover(true);
    EXPECT_TRUE(f.link->IsHovering());
    EXPECT_EQ(f.Painted(), highlight);
    f.Hover(false);
    EXPECT_EQ(f.Painted(), kLink);

    f.Click();
    EXPECT_EQ(f.Painted(), kVisited);
    f.Hover(true);
    EXPECT_EQ(f.Painted(), highlight) << "hover wins over visited";
    f.Hover(false);
    EXPECT_EQ(f.Painted(), kVisited);
}

TEST(LinkStatic, ClickOpensTheUrlAndReportsAFailure)
{
    LinkFixture f;
    f.link->SetLinkUrl("http://www.zanfo.com/");
    f.Click();
    ASSERT_EQ(f.opened.size(), 1u);
    EXPECT_EQ(f.opened[0], std::make_pair(std::string("http://www.zanfo.com/"), 5));
    EXPECT_TRUE(f.link->WasVisited());
    EXPECT_EQ(f.beeps, 0);
    EXPECT_TRUE(f.errorsShown.empty());

    for (const int failure : {31, 32, 0, -1}) {
        f.openResult = failure;
        f.Click();
        EXPECT_FALSE(f.link->WasVisited()) << "a failed open clears an earlier success";
        EXPECT_EQ(f.errorsShown.back(), failure);
    }
    EXPECT_EQ(f.beeps, 4);
    EXPECT_EQ(f.Painted(), kLink) << "the link colour is back at the next paint";

    f.openResult = 33;
    f.Click();
    EXPECT_TRUE(f.link->WasVisited()) << "33 is the smallest success";
}

TEST(LinkStatic, ErrorBoxIsAWarningCaptionedWithTheProgramName)
{
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        box->accept();
    });
    CLinkStatic::ShowOpenError(nullptr, 26);
    EXPECT_EQ(title, "link_static_test");
    EXPECT_EQ(text, "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(buttons, QMessageBox::Ok);
}

}  // namespace
