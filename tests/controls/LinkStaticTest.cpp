#include "WindowInput.h"
#include "LinkStatic.h"
#include "WindowStyle.h"

#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>

#include <gtest/gtest.h>

namespace {

const QColor kLink(0, 0, 238);
const QColor kVisited(85, 26, 139);
const QString kCaption = QString::fromUtf8("访问Zanfo文件诊所");

// A window holding one static that becomes a link, with a launcher the test answers.
struct LinkFixture {
    QWidget window;
    CLinkStatic* link;
    int openResult = 42;
    std::vector<std::pair<std::string, int>> opened;
    std::vector<int> errorsShown;
    int beeps = 0;

    explicit LinkFixture(QRect geometry = QRect(24, 246, 130, 16), std::uint32_t style = 0, const QString& caption = kCaption,
                         const QString& urlBefore = QString())
    {
        window.resize(600, 600);
        link = new CLinkStatic(&window);
        link->setGeometry(geometry);
        link->setText(caption);
        Style::Set(link, style);
        link->SetLauncher({[this](const std::string& url, int show) {
                               opened.emplace_back(url, show);
                               return openResult;
                           },
                           [this](QWidget*, int code) { errorsShown.push_back(code); }, [this] { ++beeps; }});
        if (!urlBefore.isEmpty())
            link->SetLinkUrl(urlBefore);
        link->SubclassWindow();
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    QSize TextSize() const
    {
        const QFontMetrics metrics(link->font());
        return QSize(metrics.horizontalAdvance(link->text()), metrics.height());
    }
    void Hover(bool inside) { MovePointer(&window, inside ? CentreInWindow(link) : QPoint(590, 590)); }

    // The state colour the control paints with: the one found among the pixels it renders.
    QColor Painted() const
    {
        const QImage image = link->grab().toImage();
        for (const QColor& candidate : {kLink, kVisited, QApplication::palette().color(QPalette::Active, QPalette::Highlight)})
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) == candidate)
                        return candidate;
        return QColor();
    }
};

// The caption and the URL default to each other; the window shrinks to its text, keeping the
// sides its alignment bits name (centred: each side moves by half the difference, toward zero).
TEST(LinkStatic, SubclassingMakesALinkThatFitsItsText)
{
    LinkFixture f;
    EXPECT_EQ(f.link->LinkUrl(), kCaption);
    EXPECT_TRUE(f.link->font().underline());
    EXPECT_EQ(f.Painted(), kLink);
    f.link->SetLinkUrl("http://www.zanfo.com/");
    EXPECT_EQ(f.link->toolTip(), "http://www.zanfo.com/");
    EXPECT_EQ(f.link->text(), kCaption) << "a new URL leaves the caption";
    LinkFixture empty(QRect(10, 10, 300, 40), 0, QString(), "http://example.org/");
    EXPECT_EQ(empty.link->text(), "http://example.org/");

    const QSize text = f.TextSize();
    EXPECT_EQ(f.link->geometry(), QRect(QPoint(24, 246), text)) << "left and top stay";
    EXPECT_EQ(empty.link->geometry(), QRect(QPoint(10, 10), empty.TextSize()));
    for (const int extra : {7, -4}) {
        const QRect before(100, 100, text.width() + extra, text.height() + extra);
        LinkFixture centred(before, Style::kStaticCenter | Style::kStaticCenterImage);
        EXPECT_EQ(centred.link->geometry(), before.adjusted(extra / 2, extra / 2, -(extra / 2), -(extra / 2))) << extra;
    }
    LinkFixture right(QRect(50, 60, 400, 30), Style::kStaticRight);
    EXPECT_EQ(right.link->geometry(), QRect(450 - text.width(), 60, text.width(), text.height()));
}

TEST(LinkStatic, ColourFollowsThePointerAndTheVisitedState)
{
    LinkFixture f;
    const QColor highlight = QApplication::palette().color(QPalette::Active, QPalette::Highlight);
    const std::pair<std::function<void()>, QColor> steps[] = {
        {[&] { f.Hover(true); }, highlight},
        {[&] { f.Hover(false); }, kLink},
        {[&] { ClickAt(f.link); f.Hover(false); }, kVisited},
        {[&] { f.Hover(true); }, highlight},  // hover wins over visited
        {[&] { f.Hover(false); }, kVisited},
    };
    for (const auto& [step, colour] : steps) {
        step();
        EXPECT_EQ(f.Painted(), colour) << colour.name().toStdString();
    }
}

TEST(LinkStatic, ClicksOpenTheUrlOnceAndReportAFailure)
{
    LinkFixture f;
    f.link->SetLinkUrl("http://www.zanfo.com/");
    QTest::mouseDClick(f.window.windowHandle(), Qt::LeftButton, {}, CentreInWindow(f.link));
    EXPECT_EQ(f.opened, (std::vector<std::pair<std::string, int>>{{"http://www.zanfo.com/", 5}})) << "a double-click opens once";
    EXPECT_TRUE(f.link->WasVisited());

    const std::pair<int, bool> results[] = {{31, false}, {32, false}, {0, false}, {-1, false}, {33, true}, {42, true}};
    for (const auto& [result, visited] : results) {
        f.openResult = result;
        f.errorsShown.clear();
        ClickAt(f.link);
        f.Hover(false);
        EXPECT_EQ(f.link->WasVisited(), visited) << result;
        EXPECT_EQ(f.errorsShown, visited ? std::vector<int>{} : std::vector<int>{result}) << result;
        EXPECT_EQ(f.Painted(), visited ? kVisited : kLink) << result;
    }
    EXPECT_EQ(f.beeps, 4);
}

TEST(LinkStatic, ErrorBoxIsAWarningCaptionedWithTheProgramName)
{
    QString seen;
    EXPECT_TRUE(WithNextModal([] { CLinkStatic::ShowOpenError(nullptr, 26); },
                              [&](QWidget* modal) {
                                  auto* box = qobject_cast<QMessageBox*>(modal);
                                  seen = box->windowTitle() + "|" + box->text() + "|" + QString::number(box->icon());
                                  box->accept();
                              }));
    EXPECT_EQ(seen, "link_static_test|Unable to open hyperlink:\n\nA sharing violation occurred. |" +
                        QString::number(QMessageBox::Warning));
}

}  // namespace
