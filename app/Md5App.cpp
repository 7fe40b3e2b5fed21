#include "app/Md5App.h"

#include "ui/Md5Dlg.h"

CMd5App::CMd5App(int& argc, char** argv)
    : m_windowSystem(argc, argv)
{
}

bool CMd5App::InitInstance()
{
    CMd5Dlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return false;
}
