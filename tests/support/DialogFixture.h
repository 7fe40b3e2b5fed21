#pragma once

#include "app/AboutDlg.h"
#include "res/resource.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestFiles.h"
#include "ui/Md5Dlg.h"

#include <filesystem>

using Strings = std::vector<std::string>;

// The main dialog, shown, with the world outside answered by the test: message boxes and opened
// URLs are recorded, the file chooser answers from `choices` (none left: cancel).
struct DialogFixture {
    CTempDir dir;
    CMd5Dlg dlg;
    Strings messages, choices;
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
        dlg.SetShowAbout(&CAboutDlg::Show);
        dlg.SetShellOpen([this](const std::string& url, int show) {
            opened.emplace_back(url, show);
            return 42;
        });
        dlg.Create();
        WaitUntil([this] { return dlg.IsWindowVisible(); });
    }
    ~DialogFixture() { dlg.WaitForWorker(); }

    std::string Text(int id) { return dlg.GetDlgItemText(id); }
    Strings Texts(std::initializer_list<int> ids)
    {
        Strings texts;
        for (const int id : ids)
            texts.push_back(Text(id));
        return texts;
    }
    // The digest and every detail of the file.
    Strings Results()
    {
        return Texts({IDC_MD5, IDC_FILE_NAME, IDC_FILE_SIZE, IDC_DESCRIPTION, IDC_COMPANY, IDC_PRODUCT_NAME, IDC_PRODUCT_VERSION});
    }
    bool AtRest() { return !dlg.IsDlgItemVisible(IDC_PROGRESS) && !dlg.IsDlgItemVisible(IDC_CALC) && Text(IDC_CALC) == "计算"; }
    bool Running() { return dlg.IsDlgItemVisible(IDC_PROGRESS) && dlg.IsDlgItemVisible(IDC_CALC) && Text(IDC_CALC) == "停止"; }
    void Click(int id) { ClickItem(dlg, id); }
    void Drop(const Strings& paths, bool queued = false) { DropFiles(dlg, paths, queued); }
    void Browse(const std::string& path)
    {
        choices.push_back(path);
        Click(IDC_BROWSE);
    }
    std::string Sparse(const std::string& name, std::uint64_t size) { return MakeSparseFile(dir.File(name), size); }
    std::string Pattern(const std::string& name, std::size_t size) { return WritePatternFile(dir.File(name), size); }
};
