#include "AboutDlg.h"

CAboutDlg::CAboutDlg(QWidget* owner)
    : CTemplateDialog(AboutDialogTemplate(), owner)
{
}
