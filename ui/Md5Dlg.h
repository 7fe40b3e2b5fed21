#pragma once

#include "controls/LinkStatic.h"
#include "ui/Md5WndEngine.h"
#include "window/WindowLayer.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// The one window of the tool: path and digest boxes, the details of the chosen file, the
// progress row of a long run, the Query button and the link to the service.
class CMd5Dlg : public CTemplateDialog {
public:
    // What the dialog asks of the world outside; tests put their own in.
    using ShellOpen = std::function<int(const std::string& url, int showCommand)>;
    // Shows the open-file dialog; false when the user cancels. The path is UTF-8.
    using ChooseFile = std::function<bool(CTemplateDialog* owner, std::string& path, std::string& fileName)>;
    // A message box captioned "提示" with one OK button.
    using ShowMessage = std::function<void(CTemplateDialog* owner, const std::string& text)>;
    // Starts the worker's thread running `body`; throws std::system_error when the system refuses.
    using StartThread = std::function<void(std::thread& thread, std::function<void()> body)>;
    // Runs on the dialog's thread in each of the worker's calls, while the worker waits: -1 once
    // it has read the path box, else a progress before the dialog shows it. Where a test puts a
    // user's act between the worker's steps.
    using WorkerCallServed = std::function<void(int progress)>;
    // Shows the About box over the dialog; the application hands it in (none: About does nothing).
    using ShowAbout = std::function<void(CTemplateDialog* owner)>;

    CMd5Dlg();
    ~CMd5Dlg() override;

    void SetShellOpen(ShellOpen shellOpen) { m_shellOpen = std::move(shellOpen); }
    void SetChooseFile(ChooseFile chooseFile) { m_chooseFile = std::move(chooseFile); }
    void SetShowMessage(ShowMessage showMessage) { m_showMessage = std::move(showMessage); }
    void SetStartThread(StartThread startThread) { m_startThread = std::move(startThread); }
    void SetWorkerCallServed(WorkerCallServed served) { m_workerCallServed = std::move(served); }
    void SetShowAbout(ShowAbout showAbout) { m_showAbout = std::move(showAbout); }

    void OnSysCommand(unsigned nID, long lParam) override;
    void OnAbout();
    int OnMd5Progress(int wParam, int lParam);
    void OnQuery();
    void OnBrowse();
    void OnDropFiles(const std::vector<std::string>& files) override;
    void OnCalculate();

    // Waits, serving the worker's calls, until the last worker has finished.
    void WaitForWorker();

    CLinkStatic& SiteLink() { return m_siteLink; }

    // Files of this size or more are hashed on a worker thread.
    static constexpr std::uint64_t kWorkerThreshold = 20485760;

protected:
    void OnInitDialog() override;
    void OnCommand(int id) override;
    bool PreTranslateKey(int virtualKey) override;
    std::intptr_t OnMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;

private:
    void DoDataExchange();
    int HashThreadProc();
    bool StartWorker();
    void ReturnToRest();
    void StopWorker();
    void OnClose(int result);

    // The last worker's life. Only the dialog's thread changes it; the worker's own last act
    // (Ended) comes through its last call, which that thread runs.
    enum class WorkerState {
        Idle,       // no worker to wait for
        Running,    // hashing, with the Calculate button showing 停止
        Stopping,   // stopped (停止, a new choice, the close): its run ends at its next chunk. A Stop
                    // that lands before the run has begun would be lost, so each call repeats it.
        Finishing,  // past its 100, or failed: it ends by itself
        Ended,      // it has made its last call: joining it waits for nothing
        Closed,     // the dialog has closed: no worker starts again
    };

    CLinkStatic m_siteLink;
    std::string m_strPath;
    std::string m_strFileName;
    std::thread m_hThread;  // the last worker's thread (a std::thread, not a Win32 handle)
    WorkerState m_workerState = WorkerState::Idle;
    // The dialog is waiting for the worker to end, serving its calls: no request may start a
    // worker from inside that wait, whose end would then join a worker blocked in a call to us.
    // The dialog's own state, not the worker's: the wait sees the worker pass through several.
    bool m_bWaiting = false;
    CMd5WndEngine m_engine;

    ShellOpen m_shellOpen;
    ChooseFile m_chooseFile;
    ShowMessage m_showMessage;
    StartThread m_startThread;
    WorkerCallServed m_workerCallServed;
    ShowAbout m_showAbout;
};
