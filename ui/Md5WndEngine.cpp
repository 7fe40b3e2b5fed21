#include "Md5WndEngine.h"

#include "Md5ProgressEvent.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

CMd5WndEngine::CMd5WndEngine() = default;

CMd5WndEngine::~CMd5WndEngine() = default;

void CMd5WndEngine::SetWindow(QObject* window)
{
    m_hNotifyWnd = window;
    m_relay = std::make_unique<QObject>();
    if (window)
        m_relay->moveToThread(window->thread());
}

void CMd5WndEngine::OnProgress(int percent)
{
    if (!m_relay)
        return;
    // Runs on the window's thread, where the window is also destroyed: the check cannot race.
    const auto deliver = [this, percent] {
        if (QObject* window = m_hNotifyWnd.data()) {
            CMd5ProgressEvent message(percent);
            QCoreApplication::sendEvent(window, &message);
        }
    };
    // A blocking queued call to one's own thread would wait for itself forever.
    if (QThread::currentThread() == m_relay->thread())
        deliver();
    else
        QMetaObject::invokeMethod(m_relay.get(), deliver, Qt::BlockingQueuedConnection);
}
