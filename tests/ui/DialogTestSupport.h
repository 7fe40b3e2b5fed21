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
