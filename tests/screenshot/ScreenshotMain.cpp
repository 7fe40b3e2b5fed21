// Renders the program's windows to PNG files in the folder named on the command line, so they
// can be looked at on a machine without a display: the main dialog at rest, a worker run in
// progress, a finished result with every detail, and the About box.
#include "AboutDlg.h"
#include "DialogDriver.h"
#include "Md5Dlg.h"
#include "PeImageBuilder.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool Save(CTemplateDialog& dlg, const std::string& path)
{
    const bool saved = SaveWindowImage(dlg, path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
#ifndef _WIN32
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
#endif
    CWindowSystem windowSystem(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zanfo-md5-screenshots FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    CTempDir files;
    bool saved = true;

    CMd5Dlg rest;
    rest.Create();
    saved &= Save(rest, folder + "main-dialog.png");

    CAboutDlg about(&rest);
    about.Create();
    saved &= Save(about, folder + "about-box.png");
    about.EndDialog(IDOK);
    rest.EndDialog(IDCANCEL);

    CMd5Dlg running;
    running.Create();
    const std::string large = files.File("大文件.iso");
    MakeSparseFile(large, 4096ull * 1048576);
    running.OnDropFiles({large});
    WaitUntil([&] { return running.GetProgressPos(IDC_PROGRESS) >= 30; });
    saved &= Save(running, folder + "worker-run.png");
    running.EndDialog(IDCANCEL);

    CMd5Dlg finished;
    finished.Create();
    const std::string program = files.File("示例程序.exe");
    WriteBytes(program, PeFileWithVersionStrings(u"Zanfo文件诊所MD5值计算工具", u"赞佛软件", u"MD5值计算工具 ", u"1, 1, 0, 0beta"));
    finished.OnDropFiles({program});
    saved &= Save(finished, folder + "finished-result.png");
    return saved ? 0 : 1;
}
