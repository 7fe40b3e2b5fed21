#pragma once

#include "LinkStatic.h"
#include "Md5WndEngine.h"
#include "TemplateDialog.h"

#include <QIcon>
#include <QProgressBar>

#include <cstdint>
#include <functional>
#include <string>

class QThread;

// The one window of the tool: path and digest boxes, the details of the chosen file, the
// progress row of a long run, the Query button and the link to the service.
class CMd5Dlg : public CTemplateDialog {
    Q_OBJECT
public:
    // How the dialog asks the shell to open a URL; tests put their own in.
    using ShellOpen = std::function<int(const std::string& url, int showCommand)>;

    explicit CMd5Dlg(QWidget* parent = nullptr);
    ~CMd5Dlg() override;

    void SetShellOpen(ShellOpen shellOpen) { m_shellOpen = std::move(shellOpen); }

    void OnSysCommand(unsigned nID, long lParam);
    QIcon OnQueryDragIcon() const { return m_hIcon; }
    void OnAbout();
    int OnMd5Progress(int wParam, int lParam);
    void OnQuery();

protected:
    QWidget* CreateControl(const DialogItemTemplate& item) override;
    void OnInitDialog() override;
    void OnCommand(int id) override;
    bool PreTranslateMessage(QObject* receiver, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void DoDataExchange();

    QProgressBar m_progress;
    CLinkStatic m_siteLink;
    QIcon m_hIcon;
    std::string m_strPath;
    std::string m_strFileName;
    std::uint32_t m_dwThreadId;
    QThread* m_hThread;
    CMd5WndEngine m_engine;

    ShellOpen m_shellOpen;
};
