#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>

// Serves events until the condition holds or a generous deadline passes; true if it held.
inline bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 60000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs `act` on the modal window that `open` brings up, as soon as its loop runs. Returns
// whether there was one. (The window is usually gone once `open` returns: look at it in `act`.)
inline bool WithNextModal(const std::function<void()>& open, const std::function<void(QWidget*)>& act)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = true;
            act(modal);
        }
    });
    open();
    return seen;
}

// Pointer input as the window system delivers it: at a position of the top-level window, so
// that Qt's hit-testing decides which control gets it.
inline QPoint CentreInWindow(const QWidget* widget)
{
    return widget->mapTo(widget->window(), widget->rect().center());
}
inline void ClickAt(const QWidget* widget)
{
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, CentreInWindow(widget));
}
inline void MovePointer(const QWidget* window, QPoint position)
{
    QTest::mouseMove(window->windowHandle(), position);
}
