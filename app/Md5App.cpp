#include "Md5App.h"

#include "Md5Dlg.h"

#include <QLibraryInfo>

CMd5App::CMd5App(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // Titles must be the windows' own: no display name, which X11 would append to each.
    setDesktopFileName("zanfo-md5");
    if (m_qtTranslator.load("qtbase_zh_CN", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&m_qtTranslator);
}

bool CMd5App::InitInstance()
{
    CMd5Dlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
