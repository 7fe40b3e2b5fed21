#pragma once

#include <QApplication>
#include <QTranslator>

// The application object: made first thing in main, it runs the main dialog modally from
// InitInstance and never a message loop of its own.
class CMd5App : public QApplication {
    Q_OBJECT
public:
    CMd5App(int& argc, char** argv);

    // Runs the main dialog until it closes; always returns false. The command line is ignored.
    bool InitInstance();
    // The process's exit code.
    int ExitInstance() { return 0; }

    QWidget* m_pMainWnd = nullptr;

private:
    // Qt's own texts (OK, Cancel, the file chooser) in Chinese, like the rest of the program.
    QTranslator m_qtTranslator;
};
