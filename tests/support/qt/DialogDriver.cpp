// The test input of the Qt layer: QTest events at positions of the top-level window.
#include "tests/support/DialogDriver.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <list>

namespace {

QWidget* Window(CTemplateDialog& dlg) { return static_cast<QWidget*>(dlg.NativeWindow()); }
QWidget* Item(CTemplateDialog& dlg, int id) { return static_cast<QWidget*>(dlg.NativeItem(id)); }
QWindow* Handle(CTemplateDialog& dlg) { return Window(dlg)->windowHandle(); }

QPoint CentreInWindow(CTemplateDialog& dlg, int id)
{
    const QWidget* widget = Item(dlg, id);
    return widget->mapTo(widget->window(), widget->rect().center());
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int milliseconds)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void ClickItem(CTemplateDialog& dlg, int id, int clicks)
{
    clicks == 2 ? QTest::mouseDClick(Handle(dlg), Qt::LeftButton, {}, CentreInWindow(dlg, id))
                : QTest::mouseClick(Handle(dlg), Qt::LeftButton, {}, CentreInWindow(dlg, id));
}

void MovePointerTo(CTemplateDialog& dlg, int id) { QTest::mouseMove(Handle(dlg), CentreInWindow(dlg, id)); }

void PressKey(CTemplateDialog& dlg, int virtualKey)
{
    QTest::keyClick(Handle(dlg), virtualKey == kKeyReturn ? Qt::Key_Return : Qt::Key_Escape);
}

bool HasFocus(CTemplateDialog& dlg, int id) { return Item(dlg, id)->hasFocus(); }

void ClickCloseBox(CTemplateDialog& dlg)
{
    Window(dlg)->close();  // the offscreen platform draws no frame: this is what its close box sends
}

void DropFiles(CTemplateDialog& dlg, const std::vector<std::string>& paths, bool queued)
{
    static std::list<QMimeData> dropped;  // must live until a queued drop is delivered
    QList<QUrl> urls;
    for (const std::string& path : paths) {  // a local path's bytes escaped, as file managers send them
        const QByteArray bytes = QByteArray::fromStdString(path);
        urls.push_back(path.find("://") == std::string::npos ? QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/")) : QUrl(bytes));
    }
    dropped.emplace_back().setUrls(urls);
    auto* enter = new QDragEnterEvent(QPoint(10, 10), Qt::CopyAction, &dropped.back(), Qt::LeftButton, Qt::NoModifier);
    auto* drop = new QDropEvent(QPoint(10, 10), Qt::CopyAction, &dropped.back(), Qt::LeftButton, Qt::NoModifier);
    if (queued) {
        QCoreApplication::postEvent(Window(dlg), enter);
        QCoreApplication::postEvent(Window(dlg), drop);
        return;
    }
    QApplication::sendEvent(Window(dlg), enter);
    if (enter->isAccepted())  // as on a real desktop, a refused drag is never dropped
        QApplication::sendEvent(Window(dlg), drop);
    delete enter;
    delete drop;
}

bool ItemShowsColour(CTemplateDialog& dlg, int id, Colour colour)
{
    const QImage image = Item(dlg, id)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    const auto* pixels = reinterpret_cast<const QRgb*>(image.constBits());
    return std::find(pixels, pixels + image.sizeInBytes() / 4, wanted) != pixels + image.sizeInBytes() / 4;
}

std::string ShownToolTip()
{
    return WaitUntil([] { return QToolTip::isVisible(); }, 5000) ? QToolTip::text().toStdString() : std::string();
}

bool HandCursorOver(CTemplateDialog& dlg, int id)
{
    MovePointerTo(dlg, id);
    return Handle(dlg)->cursor().shape() == Qt::PointingHandCursor;
}

bool WithNextModal(const std::function<void()>& open, const std::function<void(CTemplateDialog&)>& act)
{
    // Looks each time events are served until a modal comes; gone on return, so an open that
    // brings up nothing leaves no stray callback.
    bool seen = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (CTemplateDialog* modal = CTemplateDialog::ActiveModal(); modal && !seen) {
            seen = true;
            timer.stop();
            act(*modal);
        }
    });
    timer.start(0);
    open();
    return seen;
}
