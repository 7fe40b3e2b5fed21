#include "LinkStatic.h"

#include "UrlLauncher.h"
#include "WindowStyle.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <utility>

namespace {

// Message boxes of the framework carry the program's name: its file name without extension.
QString ApplicationTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

}  // namespace

CLinkStatic::CLinkStatic(QWidget* parent)
    : QLabel(parent)
    , m_clrLink(0, 0, 238)
    , m_clrVisited(85, 26, 139)
    , m_clrHover(QApplication::palette().color(QPalette::Active, QPalette::Highlight))
    , m_bHovering(false)
    , m_bWasVisited(false)
    , m_bUnderlineFont(true)
    , m_bFitToText(true)
    , m_bSubclassed(false)
    , m_launcher{&CLinkStatic::OpenUrl, &CLinkStatic::ShowOpenError, [] { QApplication::beep(); }}
{
}

void CLinkStatic::SetLauncher(Launcher launcher)
{
    m_launcher = std::move(launcher);
}

void CLinkStatic::SubclassWindow()
{
    Style::Set(this, Style::Of(this) | Style::kStaticNotify);
    if (m_strLinkUrl.isEmpty())
        m_strLinkUrl = text();
    if (text().isEmpty())
        setText(m_strLinkUrl);

    m_fontLink = font();
    m_fontLink.setUnderline(m_bUnderlineFont);
    setFont(m_fontLink);

    m_bSubclassed = true;  // from here on the control counts as a window
    FitToText();
    LoadHandCursor();
    setToolTip(m_strLinkUrl);
}

void CLinkStatic::FitToText()
{
    if (!m_bSubclassed || !m_bFitToText)
        return;
    const QFontMetrics metrics(m_fontLink);
    const int cx = metrics.horizontalAdvance(text());
    const int cy = metrics.height();
    const unsigned style = Style::Of(this);
    QRect rect = geometry();

    // Centred sides shrink (or grow) equally, the difference halved toward zero.
    if (style & Style::kStaticCenterImage) {
        const int dy = (rect.height() - cy) / 2;
        rect.adjust(0, dy, 0, -dy);
    } else {
        rect.setHeight(cy);
    }
    if (style & Style::kStaticCenter) {
        const int dx = (rect.width() - cx) / 2;
        rect.adjust(dx, 0, -dx, 0);
    } else if (style & Style::kStaticRight) {
        rect.setLeft(rect.right() + 1 - cx);
    } else {
        rect.setWidth(cx);
    }
    setGeometry(rect);
}

void CLinkStatic::LoadHandCursor()
{
    setCursor(Qt::PointingHandCursor);
}

void CLinkStatic::SetLinkUrl(const QString& url)
{
    m_strLinkUrl = url;
    if (m_bSubclassed) {
        FitToText();
        setToolTip(m_strLinkUrl);
    }
}

void CLinkStatic::MarkVisited(bool visited)
{
    m_bWasVisited = visited;
    if (m_bSubclassed)
        update();
}

QColor CLinkStatic::CurrentTextColor() const
{
    if (m_bHovering)
        return m_clrHover;
    return m_bWasVisited ? m_clrVisited : m_clrLink;
}

void CLinkStatic::paintEvent(QPaintEvent*)
{
    // The colour is chosen as each paint happens, from the hover and visited states: no
    // background, the dialog shows through.
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(CurrentTextColor());
    painter.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextSingleLine, text());
}

void CLinkStatic::SetHovering(bool hovering)
{
    if (m_bHovering == hovering)
        return;
    m_bHovering = hovering;
    repaint();
}

void CLinkStatic::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    SetHovering(true);
}

void CLinkStatic::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    SetHovering(false);
}

void CLinkStatic::mouseDoubleClickEvent(QMouseEvent* event)
{
    QLabel::mouseDoubleClickEvent(event);
    m_bDoubleClickRelease = true;
}

void CLinkStatic::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (std::exchange(m_bDoubleClickRelease, false))
        return;
    if (m_bSubclassed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        OnLinkClicked();
}

void CLinkStatic::OnLinkClicked()
{
    const int code = m_launcher.openUrl(m_strLinkUrl.toStdString(), CUrlLauncher::kShow);
    m_bWasVisited = code > 32;
    if (m_bWasVisited) {
        MarkVisited(true);
    } else {
        // The visited flag is cleared without a repaint: the link colour returns at the next one.
        m_launcher.beep();
        m_launcher.showOpenError(this, code);
    }
}

int CLinkStatic::OpenUrl(const std::string& url, int showCommand)
{
    return CUrlLauncher::OpenUrl(url, showCommand);
}

void CLinkStatic::ShowOpenError(QWidget* owner, int code)
{
    QMessageBox box(QMessageBox::Warning, ApplicationTitle(), QString::fromStdString(CUrlLauncher::OpenErrorText(code)),
                    QMessageBox::Ok, owner ? owner->window() : nullptr);
    box.exec();
}
