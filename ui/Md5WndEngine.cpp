#include "ui/Md5WndEngine.h"

#include "window/WindowLayer.h"

void CMd5WndEngine::OnProgress(int percent)
{
    if (m_hNotifyWnd)
        m_hNotifyWnd->SendDlgMessage(WM_MD5_PROGRESS, static_cast<std::uintptr_t>(percent), 0);
}
