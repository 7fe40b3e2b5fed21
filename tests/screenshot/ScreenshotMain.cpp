// Renders the program's windows to PNG files in the folder named on the command line, so they
// can be looked at on a machine without a display: the main dialog at rest, the About box, a
// worker run in progress, and a finished result with every detail.
#include "AboutDlg.h"
#include "DialogDriver.h"
#include "Md5Dlg.h"
#include "PeImageBuilder.h"
#include "TestFiles.h"
#include "resource.h"

#include <cstdio>
#include <cstdlib>

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
    bool saved = true;
    const auto save = [&](CTemplateDialog& dlg, const std::string& name) {
        const std::string path = std::string(argv[1]) + "/" + name + ".png";
        saved &= SaveWindowImage(dlg, path);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", path.c_str());
    };
    CTempDir files;
    const std::string large = files.File("大文件.iso"), program = files.File("示例程序.exe");
    MakeSparseFile(large, 4096ull * 1048576);
    WriteBytes(program, PeFileWithVersionStrings(u"Zanfo文件诊所MD5值计算工具", u"赞佛软件", u"MD5值计算工具 ", u"1, 1, 0, 0beta"));

    CMd5Dlg rest, running, finished;
    CAboutDlg about(&rest);
    rest.Create();
    about.Create();
    save(rest, "main-dialog");
    save(about, "about-box");
    about.EndDialog(IDOK);
    rest.EndDialog(IDCANCEL);
    running.Create();
    running.OnDropFiles({large});
    WaitUntil([&] { return running.GetProgressPos(IDC_PROGRESS) >= 30; });
    save(running, "worker-run");
    running.EndDialog(IDCANCEL);
    finished.Create();
    finished.OnDropFiles({program});
    save(finished, "finished-result");
    return saved ? 0 : 1;
}
