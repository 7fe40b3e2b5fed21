#pragma once

#include "md5/Md5Engine.h"

class CTemplateDialog;

// The engine's progress message to the dialog: the percent in wParam, lParam always 0. Always
// sent, never posted: the hashing thread waits until the dialog has handled it.
constexpr unsigned WM_MD5_PROGRESS = 0x0400 + 100;  // WM_USER + 100

// The engine as the dialog uses it: each progress value goes to the window as WM_MD5_PROGRESS.
class CMd5WndEngine : public CMd5Engine {
public:
    // The window that receives progress. Set it before the first run; it must outlive every run.
    void SetWindow(CTemplateDialog* window) { m_hNotifyWnd = window; }

protected:
    void OnProgress(int percent) override;

private:
    CTemplateDialog* m_hNotifyWnd = nullptr;  // the dialog that gets the progress (a dialog, not a window handle)
};
