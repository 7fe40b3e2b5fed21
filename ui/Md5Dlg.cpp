#include "ui/Md5Dlg.h"

#include "controls/UrlLauncher.h"
#include "platform/FileAccess.h"
#include "platform/Shell.h"
#include "res/resource.h"
#include "ui/ServiceAddress.h"
#include "version/VersionStrings.h"

#include <exception>
#include <utility>

namespace {

constexpr unsigned kSystemCommandMask = 0xFFF0;

const char* const kCalculateCaption = "计算";
const char* const kStopCaption = "停止";
const char* const kHiddenTrigger = "417+508";

}  // namespace

CMd5Dlg::CMd5Dlg()
    : CTemplateDialog(MainDialogTemplate(), nullptr)
    , m_shellOpen(&CUrlLauncher::ShellOpen)
    , m_chooseFile([](CTemplateDialog* owner, std::string& path, std::string& fileName) { return owner->ChooseFile(path, fileName); })
    , m_showMessage([](CTemplateDialog* owner, const std::string& text) { owner->ShowMessageBox(text, "提示", false); })
    , m_startThread([](std::thread& thread, std::function<void()> body) { thread = std::thread(std::move(body)); })
{
}

CMd5Dlg::~CMd5Dlg()
{
    // Normally the close has already waited; a dialog destroyed without closing must not leave
    // a worker behind that still uses its engine and controls.
    StopWorker();
    WaitForWorker();
}

void CMd5Dlg::DoDataExchange()
{
    m_siteLink.SubclassDlgItem(IDC_SITE_LINK, this);
}

void CMd5Dlg::OnInitDialog()
{
    DoDataExchange();
    // No About item joins the system menu: the program has no IDS_ABOUTBOX string.
    m_engine.SetWindow(this);
    ShowDlgItem(IDC_PROGRESS, false);
    ShowDlgItem(IDC_CALC, false);
    m_siteLink.SetLinkUrl(ServiceAddress::StartPage());
    GotoDlgItem(IDC_PATH);
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
    case IDOK:
    case IDCANCEL:
        OnClose(id);
        break;
    default:
        CTemplateDialog::OnCommand(id);
        break;
    }
}

bool CMd5Dlg::PreTranslateKey(int virtualKey)
{
    // Enter never presses a button and Escape never closes the dialog, wherever the focus is.
    return virtualKey == kKeyReturn || virtualKey == kKeyEscape;
}

std::intptr_t CMd5Dlg::OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (message == WM_MD5_PROGRESS)
        return OnMd5Progress(static_cast<int>(wParam), static_cast<int>(lParam));
    return CTemplateDialog::OnMessage(message, wParam, lParam);
}

void CMd5Dlg::OnSysCommand(unsigned nID, long)
{
    // Every other system command (minimise, move, close) is the window system's own business.
    if ((nID & kSystemCommandMask) == IDM_ABOUTBOX)
        OnAbout();
}

void CMd5Dlg::OnAbout()
{
    if (m_showAbout)
        m_showAbout(this);
}

int CMd5Dlg::OnMd5Progress(int wParam, int)
{
    // Progress is a worker's, during its run; at any other time it changes nothing.
    if (m_workerState != WorkerState::Running && m_workerState != WorkerState::Stopping)
        return 0;
    if (m_workerCallServed)
        m_workerCallServed(wParam);
    if (m_workerState == WorkerState::Stopping)
        m_engine.Stop();
    SetProgressPos(IDC_PROGRESS, wParam);
    if (wParam == 100) {
        if (m_workerState == WorkerState::Running)
            m_workerState = WorkerState::Finishing;
        ReturnToRest();
    }
    return 1;
}

void CMd5Dlg::OnQuery()
{
    const std::string digest = GetDlgItemText(IDC_MD5);
    m_shellOpen(digest.empty() ? ServiceAddress::StartPage() : ServiceAddress::SearchPage(digest), zanfo::kShowNormal);
}

void CMd5Dlg::OnBrowse()
{
    std::string path, fileName;
    if (!m_chooseFile(this, path, fileName))
        return;
    SetDlgItemText(IDC_MD5, std::string());
    m_strPath = path;
    m_strFileName = fileName;
    SetDlgItemText(IDC_PATH, m_strPath);
    OnCalculate();
}

void CMd5Dlg::OnDropFiles(const std::vector<std::string>& files)
{
    if (files.empty())
        return;
    // The first file only, its whole path however long.
    m_strPath = files.front();
    m_strFileName = zanfo::FileNamePart(m_strPath);
    SetDlgItemText(IDC_PATH, m_strPath);
    OnCalculate();
}

void CMd5Dlg::OnCalculate()
{
    // A drop that arrives while the dialog waits for a worker has already put its path in the
    // path box: the request that is waiting takes it from there once the worker is gone (and a
    // closing dialog takes none).
    if (m_bWaiting || m_workerState == WorkerState::Closed)
        return;
    // A worker still finishing (stopped, or past its 100) shares the engine and the result box:
    // let it end first, so its late result cannot land on this request.
    if (m_workerState != WorkerState::Running)
        WaitForWorker();
    if (m_workerState == WorkerState::Closed)
        return;

    for (const int id : {IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION})
        SetDlgItemText(id, std::string());
    SetDlgItemText(IDC_MD5, std::string());

    // The button shows 停止 while a worker runs: pressed, it stops that worker.
    if (m_workerState == WorkerState::Running) {
        StopWorker();
        ReturnToRest();
        return;
    }
    const std::string path = GetDlgItemText(IDC_PATH);
    if (path == kHiddenTrigger) {
        m_showMessage(this, "我爱啃大苹果!");
        return;
    }
    if (m_strPath.empty()) {
        OnBrowse();
        return;
    }
    if (!zanfo::PathExists(path)) {
        m_showMessage(this, "文件不存在!");
        return;
    }
    // A folder, FIFO, socket or device has nothing to hash: it is told apart like an empty file.
    const zanfo::PathEntry entry = zanfo::LookUpEntry(path);
    if (entry.found && (!entry.regular || entry.size == 0)) {
        m_showMessage(this, "文件大小为0字节，请拖动单个文件计算MD5值或输入正确的文件路径!");
        return;
    }
    // A path that exists without an entry of its own goes to the worker, which reports its failure.
    const std::uint64_t size = entry.found ? entry.size : 0xFFFFFFFFu;
    if (size < kWorkerThreshold) {
        SetDlgItemText(IDC_MD5, m_engine.HashFile(path, true));
    } else {
        SetProgressPos(IDC_PROGRESS, 0);
        ShowDlgItem(IDC_PROGRESS, true);
        ShowDlgItem(IDC_CALC, true);
        SetDlgItemText(IDC_CALC, kStopCaption);
        if (!StartWorker()) {
            ReturnToRest();
            m_showMessage(this, "无法启动计算线程，请稍后重试!");
            return;
        }
    }

    std::string description, company, product, fileVersion;
    if (ReadVersionStrings(path, description, company, product, fileVersion)) {
        SetDlgItemText(IDC_DESCRIPTION, description);
        SetDlgItemText(IDC_COMPANY, company);
        SetDlgItemText(IDC_PRODUCT_NAME, product);
        SetDlgItemText(IDC_PRODUCT_VERSION, fileVersion);
    }
    SetDlgItemText(IDC_FILE_NAME, m_strFileName);
    SetDlgItemText(IDC_FILE_SIZE, std::to_string(size) + "字节");
}

void CMd5Dlg::ReturnToRest()
{
    SetDlgItemText(IDC_CALC, kCalculateCaption);
    ShowDlgItem(IDC_CALC, false);
    ShowDlgItem(IDC_PROGRESS, false);
}

void CMd5Dlg::StopWorker()
{
    m_engine.Stop();
    if (m_workerState == WorkerState::Running || m_workerState == WorkerState::Finishing)
        m_workerState = WorkerState::Stopping;
}

bool CMd5Dlg::StartWorker()
{
    m_workerState = WorkerState::Running;
    try {
        m_startThread(m_hThread, [this] { HashThreadProc(); });
    } catch (const std::exception&) {
        // Out of threads (std::system_error) or memory (std::bad_alloc): nothing runs, and
        // nothing is left for a later wait.
        m_workerState = WorkerState::Idle;
        return false;
    }
    return true;
}

int CMd5Dlg::HashThreadProc()
{
    std::string path;
    bool stoppedAlready = false;
    SendToDialog([&] {
        path = GetDlgItemText(IDC_PATH);
        // Stopped before it began: the path box may already hold the next file, not ours.
        stoppedAlready = m_workerState == WorkerState::Stopping;
        if (m_workerCallServed)
            m_workerCallServed(-1);
    });
    const std::string digest = stoppedAlready ? std::string() : m_engine.HashFile(path, true);
    const bool failed = digest.empty() && !stoppedAlready && m_engine.LastFailure() != HashFailure::Stopped;
    SendToDialog([&] {
        // Stopped past the run's last check (a new choice came), it still has the old file's
        // digest: that must not stand beside the new path.
        SetDlgItemText(IDC_MD5, m_workerState == WorkerState::Stopping ? std::string() : digest);
        // A run that ended without a digest and without a Stop sends no 100: leave the running state.
        if (failed)
            ReturnToRest();
        m_workerState = WorkerState::Ended;
    });
    return 1;
}

void CMd5Dlg::WaitForWorker()
{
    const auto noneLeft = [this] { return m_workerState == WorkerState::Idle || m_workerState == WorkerState::Closed; };
    if (noneLeft())
        return;
    if (m_workerState != WorkerState::Ended) {
        // Not a plain join: the worker may be waiting for this thread to serve one of its calls.
        // Drops arriving meanwhile are refused by OnCalculate while this runs.
        const bool wasWaiting = std::exchange(m_bWaiting, true);
        WaitServing([&] { return m_workerState == WorkerState::Ended || noneLeft(); });
        m_bWaiting = wasWaiting;
        if (noneLeft())
            return;  // a wait nested in that one has already finished the job
    }
    m_hThread.join();
    m_workerState = WorkerState::Idle;
}

void CMd5Dlg::OnClose(int result)
{
    // The dialog and its engine are destroyed once the modal run returns: stop the worker first.
    StopWorker();
    WaitForWorker();
    m_workerState = WorkerState::Closed;
    EndDialog(result);
}
