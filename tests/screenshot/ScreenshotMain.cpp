// Renders the program's windows offscreen to PNG files in the folder named on the command
// line, so they can be looked at on a machine without a display: the main dialog at rest, a
// worker run in progress, a finished result with every detail, and the About box.
#include "AboutDlg.h"
#include "Md5Dlg.h"
#include "PeImageBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "resource.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

bool Save(CTemplateDialog& dlg, const QString& path)
{
    auto* window = static_cast<QWidget*>(dlg.NativeWindow());
    window->show();
    QApplication::processEvents();
    const bool saved = window->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

void Drop(CMd5Dlg& dlg, const std::string& path)
{
    dlg.OnDropFiles({path});
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    CWindowSystem windowSystem(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zanfo-md5-screenshots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    CTempDir files;
    bool saved = true;

    CMd5Dlg rest;
    rest.Create();
    saved &= Save(rest, folder.filePath("main-dialog.png"));

    CAboutDlg about(&rest);
    about.Create();
    saved &= Save(about, folder.filePath("about-box.png"));

    CMd5Dlg running;
    running.Create();
    const std::string large = files.File("大文件.iso");
    MakeSparseFile(large, 4096ull * 1048576);
    Drop(running, large);
    for (QDeadlineTimer deadline(60000); running.GetProgressPos(IDC_PROGRESS) < 30 && !deadline.hasExpired();)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    saved &= Save(running, folder.filePath("worker-run.png"));
    running.EndDialog(IDCANCEL);

    CMd5Dlg finished;
    finished.Create();
    const std::string program = files.File("示例程序.exe");
    WriteBytes(program, PeFileWithVersionStrings(u"Zanfo文件诊所MD5值计算工具", u"赞佛软件", u"MD5值计算工具 ", u"1, 1, 0, 0beta"));
    Drop(finished, program);
    saved &= Save(finished, folder.filePath("finished-result.png"));
    return saved ? 0 : 1;
}
