#include "Md5App.h"

#include "Md5Dlg.h"

#include <QLibraryInfo>

CMd5App::CMd5App(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The windows belong to the installed zanfo-md5.desktop: desktops take the name and the
    // icon they show for them, and group them, from that entry.
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
