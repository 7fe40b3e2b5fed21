#include "app/AboutDlg.h"

CAboutDlg::CAboutDlg(CTemplateDialog* owner)
    : CTemplateDialog(AboutDialogTemplate(), owner)
{
}
