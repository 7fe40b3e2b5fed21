// What the window layer does alike on every window system.
#include "window/WindowLayer.h"

std::intptr_t CTemplateDialog::SendDlgMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    // Through the dialog's own call queue, never as a window message: no other process can send one.
    std::intptr_t result = 0;
    if (message >= kFirstDialogMessage && message <= kLastDialogMessage)
        SendToDialog([&] { result = OnMessage(message, wParam, lParam); });
    return result;
}

void CTemplateDialog::OnCommand(int id)
{
    if (id == kIdOk || id == kIdCancel)
        EndDialog(id);
}
