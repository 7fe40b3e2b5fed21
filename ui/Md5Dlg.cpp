#include "Md5Dlg.h"

#include "AboutDlg.h"
#include "ApplicationIcon.h"
#include "Md5ProgressEvent.h"
#include "ServiceAddress.h"
#include "UrlLauncher.h"
#include "resource.h"

#include <QKeyEvent>

namespace {

constexpr unsigned kSystemCommandMask = 0xFFF0;
constexpr unsigned kSystemMinimize = 0xF020;  // SC_MINIMIZE
constexpr unsigned kSystemClose = 0xF060;     // SC_CLOSE

}  // namespace

CMd5Dlg::CMd5Dlg(QWidget* parent)
    : CTemplateDialog(MainDialogTemplate(), parent)
    , m_hIcon(ApplicationIcon())
    , m_dwThreadId(0)
    , m_hThread(nullptr)
    , m_shellOpen(&CUrlLauncher::ShellOpen)
{
}

CMd5Dlg::~CMd5Dlg() = default;

QWidget* CMd5Dlg::CreateControl(const DialogItemTemplate& item)
{
    if (item.id == IDC_PROGRESS)
        return &m_progress;
    if (item.id == IDC_SITE_LINK)
        return &m_siteLink;
    return CTemplateDialog::CreateControl(item);
}

void CMd5Dlg::DoDataExchange()
{
    // The progress bar is ours from creation on; the link label turns into a link now.
    m_siteLink.SubclassWindow();
}

void CMd5Dlg::OnInitDialog()
{
    DoDataExchange();
    // No About item joins the system menu: the program has no IDS_ABOUTBOX string.
    setWindowIcon(m_hIcon);
    m_engine.SetWindow(this);
    ShowDlgItem(IDC_PROGRESS, false);
    ShowDlgItem(IDC_CALC, false);
    m_siteLink.SetLinkUrl(QString::fromStdString(ServiceAddress::StartPage()));
    GetDlgItem(IDC_PATH)->setFocus();
}

void CMd5Dlg::OnCommand(int id)
{
    switch (id) {
    case IDC_ABOUT:
        OnAbout();
        break;
    case IDC_QUERY:
        OnQuery();
        break;
    default:
        CTemplateDialog::OnCommand(id);
        break;
    }
}

bool CMd5Dlg::PreTranslateMessage(QObject* receiver, QEvent* event)
{
    // Enter never presses a button and Escape never closes the dialog, wherever the focus is.
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

bool CMd5Dlg::event(QEvent* event)
{
    if (event->type() == CMd5ProgressEvent::WM_MD5_PROGRESS) {
        auto* message = static_cast<CMd5ProgressEvent*>(event);
        message->SetResult(OnMd5Progress(message->WParam(), message->LParam()));
        return true;
    }
    return CTemplateDialog::event(event);
}

void CMd5Dlg::OnSysCommand(unsigned nID, long)
{
    switch (nID & kSystemCommandMask) {
    case IDM_ABOUTBOX:
        OnAbout();
        break;
    case kSystemMinimize:
        showMinimized();
        break;
    case kSystemClose:
        reject();
        break;
    default:
        break;
    }
}

void CMd5Dlg::OnAbout()
{
    CAboutDlg dlgAbout(this);
    dlgAbout.DoModal();
}

int CMd5Dlg::OnMd5Progress(int wParam, int)
{
    m_progress.setValue(wParam);
    if (wParam == 100) {
        ShowDlgItem(IDC_PROGRESS, false);
        ShowDlgItem(IDC_CALC, false);
        SetDlgItemText(IDC_CALC, QString::fromUtf8("计算"));
    }
    return 1;
}

void CMd5Dlg::OnQuery()
{
    const QString digest = GetDlgItemText(IDC_MD5);
    const std::string url = digest.isEmpty() ? ServiceAddress::StartPage() : ServiceAddress::SearchPage(digest.toStdString());
    m_shellOpen(url, CUrlLauncher::kShowNormal);
}
