#include "Md5Dlg.h"

#include "AboutDlg.h"
#include "ApplicationIcon.h"
#include "FileAccess.h"
#include "Md5ProgressEvent.h"
#include "ServiceAddress.h"
#include "UrlLauncher.h"
#include "VersionStrings.h"
#include "resource.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QThread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

constexpr unsigned kSystemCommandMask = 0xFFF0;

const char* const kCalculateCaption = "计算";
const char* const kStopCaption = "停止";
const char* const kHiddenTrigger = "417+508";

bool ChooseFileWithDialog(QWidget* owner, std::string& path, std::string& fileName)
{
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The one filter keeps its Windows name, but matches every file: "*.*" alone would hide
    // the many files here whose names have no dot.
    dialog.setNameFilter(QString::fromUtf8("所有文件 (*.*) (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString chosen = dialog.selectedFiles().first();
    path = chosen.toStdString();
    fileName = QFileInfo(chosen).fileName().toStdString();
    return true;
}

void ShowMessageBox(QWidget* owner, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8("提示"), text, QMessageBox::Ok, owner);
    box.exec();
}

// The name part of a path: the text after its last separator, empty when it ends in one.
QString FileNamePart(const QString& path)
{
#ifdef _WIN32
    const qsizetype separator = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
#else
    const qsizetype separator = path.lastIndexOf('/');
#endif
    return path.mid(separator + 1);
}

}  // namespace

CMd5Dlg::CMd5Dlg(QWidget* parent)
    : CTemplateDialog(MainDialogTemplate(), parent)
    , m_hIcon(ApplicationIcon())
    , m_dwThreadId(0)
    , m_hThread(nullptr)
    , m_shellOpen(&CUrlLauncher::ShellOpen)
    , m_chooseFile(&ChooseFileWithDialog)
    , m_showMessage(&ShowMessageBox)
    , m_startThread([](QThread& thread) { thread.start(); })
{
}

CMd5Dlg::~CMd5Dlg()
{
    // Normally done() has already waited; a dialog destroyed without closing must not leave a
    // worker behind that still uses its engine and controls.
    StopWorker();
    WaitForWorker();
}

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
    case IDC_BROWSE:
        OnBrowse();
        break;
    case IDC_CALC:
        OnCalculate();
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
    // Every other system command (minimise, move, close) is the window system's own business.
    if ((nID & kSystemCommandMask) == IDM_ABOUTBOX)
        OnAbout();
}

void CMd5Dlg::OnAbout()
{
    CAboutDlg dlgAbout(this);
    dlgAbout.DoModal();
}

int CMd5Dlg::OnMd5Progress(int wParam, int)
{
    if (m_bStopRequested)
        m_engine.Stop();
    m_progress.setValue(wParam);
    if (wParam == 100)
        ReturnToRest();
    return 1;
}

void CMd5Dlg::OnQuery()
{
    const QString digest = GetDlgItemText(IDC_MD5);
    const std::string url = digest.isEmpty() ? ServiceAddress::StartPage() : ServiceAddress::SearchPage(digest.toStdString());
    m_shellOpen(url, CUrlLauncher::kShowNormal);
}

void CMd5Dlg::OnBrowse()
{
    std::string path, fileName;
    if (!m_chooseFile(this, path, fileName))
        return;
    SetDlgItemText(IDC_MD5, QString());
    m_strPath = path;
    m_strFileName = fileName;
    SetDlgItemText(IDC_PATH, QString::fromStdString(m_strPath));
    OnCalculate();
}

void CMd5Dlg::dragEnterEvent(QDragEnterEvent* event)
{
    // Only a local file can be hashed; anything else is refused before it is dropped.
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CMd5Dlg::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    OnDropFiles(urls);
}

void CMd5Dlg::OnDropFiles(const QList<QUrl>& files)
{
    // The first file only, its whole path however long.
    const QString path = files.first().toLocalFile();
    m_strPath = path.toStdString();
    m_strFileName = FileNamePart(path).toStdString();
    SetDlgItemText(IDC_PATH, path);
    OnCalculate();
}

void CMd5Dlg::OnCalculate()
{
    // A drop that arrives while the dialog waits for a worker has already put its path in the
    // path box: the request that is waiting takes it from there once the worker is gone (and a
    // closing dialog takes none).
    if (m_bWaiting || m_bClosing)
        return;
    // A worker still finishing (stopped, or past its 100) shares the engine and the result box:
    // let it end first, so its late result cannot land on this request.
    if (GetDlgItemText(IDC_CALC) != QString::fromUtf8(kStopCaption))
        WaitForWorker();
    if (m_bClosing)
        return;

    for (const int id : {IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION})
        SetDlgItemText(id, QString());
    const QString caption = GetDlgItemText(IDC_CALC);
    SetDlgItemText(IDC_MD5, QString());

    if (caption == QString::fromUtf8(kStopCaption)) {
        StopWorker();
        ReturnToRest();
        return;
    }
    const QString path = GetDlgItemText(IDC_PATH);
    if (path == kHiddenTrigger) {
        m_showMessage(this, QString::fromUtf8("我爱啃大苹果!"));
        return;
    }
    if (m_strPath.empty()) {
        OnBrowse();
        return;
    }
    const std::string pathText = path.toStdString();
    if (!zanfo::PathExists(pathText)) {
        m_showMessage(this, QString::fromUtf8("文件不存在!"));
        return;
    }
    // A folder, FIFO, socket or device has nothing to hash: it is told apart like an empty file.
    const zanfo::PathEntry entry = zanfo::LookUpEntry(pathText);
    if (entry.found && (!entry.regular || entry.size == 0)) {
        m_showMessage(this, QString::fromUtf8("文件大小为0字节，请拖动单个文件计算MD5值或输入正确的文件路径!"));
        return;
    }
    // A path that exists without an entry of its own goes to the worker, which reports its failure.
    const std::uint64_t size = entry.found ? entry.size : 0xFFFFFFFFu;
    if (size < kWorkerThreshold) {
        SetDlgItemText(IDC_MD5, QString::fromStdString(m_engine.HashFile(pathText, true)));
    } else {
        m_progress.setValue(0);
        ShowDlgItem(IDC_PROGRESS, true);
        ShowDlgItem(IDC_CALC, true);
        SetDlgItemText(IDC_CALC, QString::fromUtf8(kStopCaption));
        if (!StartWorker()) {
            ReturnToRest();
            m_showMessage(this, QString::fromUtf8("无法启动计算线程，请稍后重试!"));
            return;
        }
    }

    std::string description, company, product, fileVersion;
    if (ReadVersionStrings(pathText, description, company, product, fileVersion)) {
        SetDlgItemText(IDC_DESCRIPTION, QString::fromStdString(description));
        SetDlgItemText(IDC_COMPANY, QString::fromStdString(company));
        SetDlgItemText(IDC_PRODUCT_NAME, QString::fromStdString(product));
        SetDlgItemText(IDC_PRODUCT_VERSION, QString::fromStdString(fileVersion));
    }
    SetDlgItemText(IDC_FILE_NAME, QString::fromStdString(m_strFileName));
    SetDlgItemText(IDC_FILE_SIZE, QString::number(size) + QString::fromUtf8("字节"));
}

void CMd5Dlg::ReturnToRest()
{
    SetDlgItemText(IDC_CALC, QString::fromUtf8(kCalculateCaption));
    ShowDlgItem(IDC_CALC, false);
    ShowDlgItem(IDC_PROGRESS, false);
}

void CMd5Dlg::StopWorker()
{
    m_engine.Stop();
    m_bStopRequested = m_hThread != nullptr;
}

bool CMd5Dlg::StartWorker()
{
    m_hThread = QThread::create([this] { HashThreadProc(); });
    m_dwThreadId += 1;  // a serial number: the worker needs no identity beyond "the last one"
    m_startThread(*m_hThread);
    if (m_hThread->isRunning() || m_hThread->isFinished())
        return true;
    // Out of threads or memory: a thread that never ran would never finish, and every later
    // request and the close would wait for it.
    delete m_hThread;
    m_hThread = nullptr;
    m_bStopRequested = false;
    return false;
}

void CMd5Dlg::SendToDialog(const std::function<void()>& call)
{
    QMetaObject::invokeMethod(this, call, Qt::BlockingQueuedConnection);
}

int CMd5Dlg::HashThreadProc()
{
    std::string path;
    bool stoppedAlready = false;
    SendToDialog([&] {
        path = GetDlgItemText(IDC_PATH).toStdString();
        // Stopped before it began: the path box may already hold the next file, not ours.
        stoppedAlready = m_bStopRequested;
    });
    const std::string digest = stoppedAlready ? std::string() : m_engine.HashFile(path, true);
    const bool failed = digest.empty() && !stoppedAlready && m_engine.LastFailure() != HashFailure::Stopped;
    SendToDialog([&] {
        SetDlgItemText(IDC_MD5, QString::fromStdString(digest));
        // A run that ended without a digest and without a Stop sends no 100: leave the running state.
        if (failed)
            ReturnToRest();
    });
    return 1;
}

void CMd5Dlg::WaitForWorker()
{
    if (!m_hThread)
        return;
    if (!m_hThread->isFinished()) {
        // Not a plain join: the worker may be waiting for this thread to serve one of its calls.
        QEventLoop loop;
        connect(m_hThread, &QThread::finished, &loop, &QEventLoop::quit);
        if (!m_hThread->isFinished()) {
            // Drops are not user input to the loop: OnCalculate refuses them while this runs.
            const bool wasWaiting = m_bWaiting;
            m_bWaiting = true;
            loop.exec(QEventLoop::ExcludeUserInputEvents);
            m_bWaiting = wasWaiting;
        }
        if (!m_hThread)
            return;  // a wait nested in that loop has already finished the job
    }
    m_hThread->wait();
    delete m_hThread;
    m_hThread = nullptr;
    m_bStopRequested = false;
}

void CMd5Dlg::done(int result)
{
    // The dialog and its engine are destroyed once the modal run returns: stop the worker first.
    m_bClosing = true;
    StopWorker();
    WaitForWorker();
    CTemplateDialog::done(result);
}

#ifdef _WIN32
bool CMd5Dlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (eventType == "windows_generic_MSG" && msg->message == WM_SYSCOMMAND &&
        (msg->wParam & kSystemCommandMask) == IDM_ABOUTBOX) {
        OnSysCommand(static_cast<unsigned>(msg->wParam), static_cast<long>(msg->lParam));
        *result = 0;
        return true;
    }
    return CTemplateDialog::nativeEvent(eventType, message, result);
}
#endif
