#pragma once

#include "LinkStatic.h"
#include "Md5WndEngine.h"
#include "TemplateDialog.h"

#include <QIcon>
#include <QList>
#include <QProgressBar>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <string>

class QThread;

// The one window of the tool: path and digest boxes, the details of the chosen file, the
// progress row of a long run, the Query button and the link to the service.
class CMd5Dlg : public CTemplateDialog {
    Q_OBJECT
public:
    // What the dialog asks of the world outside; tests put their own in.
    using ShellOpen = std::function<int(const std::string& url, int showCommand)>;
    // Shows the open-file dialog; false when the user cancels. The path is UTF-8.
    using ChooseFile = std::function<bool(QWidget* owner, std::string& path, std::string& fileName)>;
    // A message box captioned "提示" with one OK button.
    using ShowMessage = std::function<void(QWidget* owner, const QString& text)>;
    // Starts the worker's thread; the system may refuse it.
    using StartThread = std::function<void(QThread& thread)>;

    explicit CMd5Dlg(QWidget* parent = nullptr);
    ~CMd5Dlg() override;

    void SetShellOpen(ShellOpen shellOpen) { m_shellOpen = std::move(shellOpen); }
    void SetChooseFile(ChooseFile chooseFile) { m_chooseFile = std::move(chooseFile); }
    void SetShowMessage(ShowMessage showMessage) { m_showMessage = std::move(showMessage); }
    void SetStartThread(StartThread startThread) { m_startThread = std::move(startThread); }

    void OnSysCommand(unsigned nID, long lParam);
    QIcon OnQueryDragIcon() const { return m_hIcon; }
    void OnAbout();
    int OnMd5Progress(int wParam, int lParam);
    void OnQuery();
    void OnBrowse();
    void OnDropFiles(const QList<QUrl>& files);
    void OnCalculate();

    // Waits, serving the worker's calls, until the last worker has finished.
    void WaitForWorker();

    // Files of this size or more are hashed on a worker thread.
    static constexpr std::uint64_t kWorkerThreshold = 20485760;

protected:
    QWidget* CreateControl(const DialogItemTemplate& item) override;
    void OnInitDialog() override;
    void OnCommand(int id) override;
    bool PreTranslateMessage(QObject* receiver, QEvent* event) override;
    bool event(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void done(int result) override;
#ifdef _WIN32
    // The window system's own system commands reach OnSysCommand there.
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void DoDataExchange();
    int HashThreadProc();
    bool StartWorker();
    void ReturnToRest();
    void StopWorker();
    // Runs a call on the dialog's thread and waits for it: the worker's only way to the controls.
    void SendToDialog(const std::function<void()>& call);

    QProgressBar m_progress;
    CLinkStatic m_siteLink;
    QIcon m_hIcon;
    std::string m_strPath;
    std::string m_strFileName;
    std::uint32_t m_dwThreadId;
    QThread* m_hThread;
    CMd5WndEngine m_engine;

    // The user stopped the current worker. A Stop that lands before the worker's run has begun
    // would be lost, so each progress call repeats it until the run notices.
    bool m_bStopRequested = false;
    // The dialog is waiting for a worker, serving its calls: no new request may start a worker
    // from inside that wait, whose end would then join a worker blocked in a call to us.
    bool m_bWaiting = false;
    bool m_bClosing = false;
    ShellOpen m_shellOpen;
    ChooseFile m_chooseFile;
    ShowMessage m_showMessage;
    StartThread m_startThread;
};
