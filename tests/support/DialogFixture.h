#pragma once

#include "Md5Dlg.h"
#include "WindowInput.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "resource.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <filesystem>
#include <list>
#include <string>
#include <vector>

// The main dialog, shown, with the world outside answered by the test: message boxes and
// opened URLs are recorded, the file chooser answers from `choices` (none left: cancel).
struct DialogFixture {
    CTempDir dir;
    CMd5Dlg dlg;
    std::vector<QString> messages;
    std::vector<std::string> choices;
    int chooserOpened = 0;
    std::vector<std::pair<std::string, int>> opened;
    std::list<QMimeData> dropped;

    DialogFixture()
    {
        dlg.SetShowMessage([this](QWidget*, const QString& text) { messages.push_back(text); });
        dlg.SetChooseFile([this](QWidget*, std::string& path, std::string& name) {
            ++chooserOpened;
            if (choices.empty())
                return false;
            path = choices.front();
            name = std::filesystem::path(path).filename().string();
            choices.erase(choices.begin());
            return true;
        });
        dlg.SetShellOpen([this](const std::string& url, int show) {
            opened.emplace_back(url, show);
            return 42;
        });
        dlg.Create();
        dlg.show();
        dlg.activateWindow();
        (void)QTest::qWaitForWindowExposed(&dlg);
    }
    ~DialogFixture() { dlg.WaitForWorker(); }

    QWidget* Item(int id) { return dlg.GetDlgItem(id); }
    QString Text(int id) { return dlg.GetDlgItemText(id); }
    bool Visible(int id) { return Item(id)->isVisible(); }
    bool AtRest() { return !Visible(IDC_PROGRESS) && !Visible(IDC_CALC) && Text(IDC_CALC) == QString::fromUtf8("计算"); }
    bool Running() { return Visible(IDC_PROGRESS) && Visible(IDC_CALC) && Text(IDC_CALC) == QString::fromUtf8("停止"); }

    // A drag of these files entering the window and dropped there, as the window system
    // delivers it: now, or (queued) when the event loop next runs.
    void Drop(const std::vector<std::string>& paths, bool queued = false)
    {
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
        dropped.emplace_back();
        dropped.back().setUrls(urls);
        const QPoint at(10, 10);
        QEvent* events[] = {new QDragEnterEvent(at, Qt::CopyAction, &dropped.back(), Qt::LeftButton, Qt::NoModifier),
                            new QDropEvent(at, Qt::CopyAction, &dropped.back(), Qt::LeftButton, Qt::NoModifier)};
        for (QEvent* event : events) {
            if (queued) {
                QCoreApplication::postEvent(&dlg, event);
            } else {
                QApplication::sendEvent(&dlg, event);
                delete event;
            }
        }
    }
    void Browse(const std::string& path)
    {
        choices.push_back(path);
        ClickAt(Item(IDC_BROWSE));
    }
    std::string Sparse(const std::string& name, std::uint64_t size)
    {
        const std::string path = dir.File(name);
        MakeSparseFile(path, size);
        return path;
    }
    std::string Pattern(const std::string& name, std::size_t size)
    {
        const std::string path = dir.File(name);
        WritePatternFile(path, size);
        return path;
    }
};
