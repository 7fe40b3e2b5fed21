#include "app/Md5App.h"

#include "app/AboutDlg.h"
#include "res/resource.h"
#include "ui/Md5Dlg.h"

CMd5App::CMd5App(int& argc, char** argv)
    : m_windowSystem(argc, argv, Identity())
{
}

ApplicationIdentity CMd5App::Identity()
{
    ApplicationIdentity identity;
    identity.desktopId = ZANFO_DESKTOP_ID;
    identity.iconFolder = ":/icons";  // the images app/CMakeLists.txt puts in Qt's resources
    identity.iconResource = IDR_MAINFRAME;
    identity.toolkitLanguage = "zh_CN";
    identity.allFilesFilter = "所有文件 (*.*)";
    return identity;
}

bool CMd5App::InitInstance()
{
    CMd5Dlg dlg;
    dlg.SetShowAbout(&CAboutDlg::Show);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
