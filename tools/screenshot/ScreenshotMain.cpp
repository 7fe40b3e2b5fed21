// Renders the program's windows offscreen to PNG files in the folder named on the command
// line, so they can be looked at on a machine without a display.
#include "AboutDlg.h"
#include "Md5Dlg.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

bool Save(QWidget& window, const QString& path)
{
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zanfo-md5-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool saved = true;

    CMd5Dlg main;
    main.Create();
    saved &= Save(main, folder.filePath("main-dialog.png"));

    CAboutDlg about(&main);
    about.Create();
    saved &= Save(about, folder.filePath("about-box.png"));
    return saved ? 0 : 1;
}
