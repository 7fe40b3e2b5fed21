#pragma once

#include "DialogDriver.h"
#include "Md5Dlg.h"
#include "TempDir.h"
#include "TestFiles.h"
#include "resource.h"

#include <filesystem>
#include <string>
#include <vector>

// The main dialog, shown, with the world outside answered by the test: message boxes and
// opened URLs are recorded, the file chooser answers from `choices` (none left: cancel).
struct DialogFixture {
    CTempDir dir;
    CMd5Dlg dlg;
    std::vector<std::string> messages;
    std::vector<std::string> choices;
    int chooserOpened = 0;
    std::vector<std::pair<std::string, int>> opened;

    DialogFixture()
    {
        dlg.SetShowMessage([this](CTemplateDialog*, const std::string& text) { messages.push_back(text); });
        dlg.SetChooseFile([this](CTemplateDialog*, std::string& path, std::string& name) {
            ++chooserOpened;
            if (choices.empty())
                return false;
            path = choices.front();
            name = std::filesystem::u8path(path).filename().u8string();
            choices.erase(choices.begin());
            return true;
        });
        dlg.SetShellOpen([this](const std::string& url, int show) {
            opened.emplace_back(url, show);
            return 42;
        });
        dlg.Create();
        WaitUntil([this] { return dlg.IsWindowVisible(); });
    }
    ~DialogFixture() { dlg.WaitForWorker(); }

    std::string Text(int id) { return dlg.GetDlgItemText(id); }
    bool Visible(int id) { return dlg.IsDlgItemVisible(id); }
    bool AtRest() { return !Visible(IDC_PROGRESS) && !Visible(IDC_CALC) && Text(IDC_CALC) == "计算"; }
    bool Running() { return Visible(IDC_PROGRESS) && Visible(IDC_CALC) && Text(IDC_CALC) == "停止"; }
    void Click(int id) { ClickItem(dlg, id); }
    void Drop(const std::vector<std::string>& paths, bool queued = false) { DropFiles(dlg, paths, queued); }
    void Browse(const std::string& path)
    {
        choices.push_back(path);
        Click(IDC_BROWSE);
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
