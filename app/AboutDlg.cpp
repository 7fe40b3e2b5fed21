#include "app/AboutDlg.h"

#include "res/DialogTemplate.h"

CAboutDlg::CAboutDlg(CTemplateDialog* owner)
    : CTemplateDialog(AboutDialogTemplate(), owner)
{
}

void CAboutDlg::Show(CTemplateDialog* owner)
{
    CAboutDlg dlgAbout(owner);
    dlgAbout.DoModal();
}
