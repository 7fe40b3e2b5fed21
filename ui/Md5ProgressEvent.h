#pragma once

#include <QEvent>

// The engine's progress message to the dialog (WM_USER + 100): the percent in wParam, lParam
// always 0. Always sent, never posted: the sender waits until the dialog has handled it.
class CMd5ProgressEvent : public QEvent {
public:
    static constexpr QEvent::Type WM_MD5_PROGRESS = static_cast<QEvent::Type>(QEvent::User + 100);

    explicit CMd5ProgressEvent(int percent)
        : QEvent(WM_MD5_PROGRESS)
        , m_wParam(percent)
    {
    }

    int WParam() const { return m_wParam; }
    int LParam() const { return 0; }
    int Result() const { return m_result; }
    void SetResult(int result) { m_result = result; }

private:
    int m_wParam;
    int m_result = 0;
};
