#pragma once

#include "Md5Engine.h"

#include <QObject>
#include <QPointer>

#include <memory>

// The engine as the dialog uses it: each progress value goes to the dialog as a
// CMd5ProgressEvent, delivered on the dialog's thread while the hashing thread waits.
class CMd5WndEngine : public CMd5Engine {
public:
    CMd5WndEngine();
    ~CMd5WndEngine() override;

    // The window that receives progress. Set it before the first run, from the window's thread.
    void SetWindow(QObject* window);

protected:
    void OnProgress(int percent) override;

private:
    QPointer<QObject> m_hNotifyWnd;
    // Lives on the window's thread; blocking calls from a hashing thread are queued to it.
    std::unique_ptr<QObject> m_relay;
};
