#pragma once

#include "window/WindowLayer.h"

// The application object: made first thing in main, it runs the main dialog modally from
// InitInstance and never a message loop of its own.
class CMd5App {
public:
    CMd5App(int& argc, char** argv);

    // What the window system shows of the program: its desktop entry, icon, language and filter.
    static ApplicationIdentity Identity();

    // Runs the main dialog until it closes; always returns false. The command line is ignored.
    bool InitInstance();
    // The process's exit code.
    int ExitInstance() { return 0; }

    CTemplateDialog* m_pMainWnd = nullptr;

private:
    CWindowSystem m_windowSystem;
};
