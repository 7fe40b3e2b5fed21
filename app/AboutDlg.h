#pragma once

#include "window/WindowLayer.h"

// The About box: the icon, the version and the copyright line, closed by its OK button,
// Escape or the close box.
class CAboutDlg : public CTemplateDialog {
public:
    // The owner is the main dialog, which stays disabled while the box is open.
    explicit CAboutDlg(CTemplateDialog* owner = nullptr);

    // Runs the box modally over its owner: what the main dialog's About does.
    static void Show(CTemplateDialog* owner);
};
