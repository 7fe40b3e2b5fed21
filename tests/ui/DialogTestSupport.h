#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

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

#include <QCoreApplication>
#include <QDeadlineTimer>

// Serves events until the condition holds or a generous deadline passes; true if it held.
inline bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 60000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}
