#pragma once

#include "res/DialogTemplate.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The window layer: what the dialogs need of the window system. Each window system has its own
// implementation in a folder of its own (window/qt, window/win32), and CMake builds the one for
// the target; everything above the layer is written once. The layer knows no program: what it
// shows of one (icon, desktop entry, filter text) is handed in. Texts are UTF-8 on both sides.

// Windows spells two of its functions as macros with the names of members below: whatever a
// source included before this header, the names stay ours.
#undef GetDlgItemText
#undef SetDlgItemText

// A colour as Windows spells it (COLORREF): 0x00BBGGRR.
using Colour = std::uint32_t;
constexpr Colour Rgb(int red, int green, int blue)
{
    return static_cast<Colour>(red) | static_cast<Colour>(green) << 8 | static_cast<Colour>(blue) << 16;
}

// A control's place in its dialog's client area, in pixels.
struct ItemRect {
    int x, y, cx, cy;
    bool operator==(const ItemRect& other) const { return x == other.x && y == other.y && cx == other.cx && cy == other.cy; }
};

// Keys a dialog may swallow before the window system acts on them (virtual-key codes).
constexpr int kKeyReturn = 0x0D;
constexpr int kKeyEscape = 0x1B;

// The commands of a dialog's OK button and of its closing (Escape, the close box), as Windows numbers them.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// The messages SendDlgMessage hands to OnMessage, from WM_USER + 3 to WM_APP - 1: below them lie
// the window system's own, from WM_APP up the layer's.
constexpr unsigned kFirstDialogMessage = 0x0403;
constexpr unsigned kLastDialogMessage = 0x7FFF;

// What the window system is told of the program, once, when it is made.
struct ApplicationIdentity {
    std::string desktopId;        // the XDG desktop entry its windows belong to (Qt)
    std::string iconFolder;       // its icon, one image per size, in Qt's resources (":/icons")
    int iconResource = 0;         // its icon's resource ordinal (Win32)
    std::string toolkitLanguage;  // the toolkit's own texts (OK, Cancel, the chooser) in this language (Qt)
    std::string allFilesFilter;   // the file chooser's one filter, which matches every file
};

// The window system of the process: made once in main, before any dialog.
class CWindowSystem {
public:
    CWindowSystem(int& argc, char** argv, ApplicationIdentity identity);
    ~CWindowSystem();
    CWindowSystem(const CWindowSystem&) = delete;
    CWindowSystem& operator=(const CWindowSystem&) = delete;

    // Serves what is pending for the dialogs on this thread, as their modal loops do: for a
    // dialog shown without one.
    static void PumpEvents();
    static const ApplicationIdentity& Identity();
    // The program's name for message boxes: its file name without extension.
    static std::string ApplicationTitle();
    static Colour HighlightColour();
    static void Beep();

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

// A static that behaves as a link: the layer paints its text in TextColour, reports the pointer
// entering and leaving it, gives it the hand cursor, and reports a click (a double-click once).
class CLinkBehaviour {
public:
    virtual Colour TextColour() const = 0;
    virtual void OnHover(bool hovering) = 0;
    virtual void OnClicked() = 0;

protected:
    ~CLinkBehaviour() = default;
};

// A dialog built from a template, the way the Windows dialog manager builds one: controls in
// template order (their tab order, and first on top), places in dialog units of the template's
// font, controls reached by identifier.
class CTemplateDialog {
public:
    CTemplateDialog(const DialogTemplate& dialogTemplate, CTemplateDialog* owner);
    virtual ~CTemplateDialog();
    CTemplateDialog(const CTemplateDialog&) = delete;
    CTemplateDialog& operator=(const CTemplateDialog&) = delete;

    // Creates the window and its controls, runs OnInitDialog, then runs the dialog modally,
    // its owner disabled. Returns what EndDialog was given.
    int DoModal();
    // The creation half of DoModal: the dialog is made and shown without a modal loop.
    void Create();
    // Ends the modal loop (or hides a dialog shown by Create) with this result.
    void EndDialog(int result);
    bool IsWindowVisible() const;
    // The template dialog now running modally on top, if any.
    static CTemplateDialog* ActiveModal();
    const DialogTemplate& Template() const { return m_template; }

    // The controls, by identifier. An identifier the dialog does not have, or a control of
    // another kind, is no error: a getter gives "", 0 or an empty place, a setter does nothing.
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    void ShowDlgItem(int id, bool show);
    bool IsDlgItemVisible(int id) const;
    void GotoDlgItem(int id);
    void SetProgressPos(int id, int percent);
    int GetProgressPos(int id) const;

    ItemRect GetItemRect(int id) const;
    void SetItemRect(int id, const ItemRect& rect);
    std::uint32_t GetItemStyle(int id) const;
    void SetItemStyle(int id, std::uint32_t style);
    // Dialog units to pixels with this dialog's font, once its window is made (Create).
    ItemRect MapDialogRect(int x, int y, int cx, int cy) const;

    // The static becomes a link driven by `behaviour`, which must outlive the dialog's window.
    void AttachLink(int id, CLinkBehaviour* behaviour);
    void SetItemUnderline(int id);
    // Width and height of the item's text in the item's font.
    void MeasureItemText(int id, int& cx, int& cy) const;
    void SetItemToolTip(int id, const std::string& text);
    void RedrawItem(int id);

    // A message box with one OK button, owned by this dialog; `warning` adds the warning icon.
    void ShowMessageBox(const std::string& text, const std::string& caption, bool warning);
    // The open-file dialog with the identity's one filter; false when the user cancels.
    bool ChooseFile(std::string& path, std::string& fileName);

    // From any thread: OnMessage runs on the dialog's thread, and this returns its result. A
    // message outside kFirstDialogMessage..kLastDialogMessage is no dialog's: 0, unseen. These
    // travel through the dialog's own queue, never as window messages another process could send.
    std::intptr_t SendDlgMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // From any thread: the call runs on the dialog's thread; returns once it has run. Calls wait
    // in a queue of the dialog's own; what wakes it carries no pointer.
    void SendToDialog(const std::function<void()>& call);
    // Serves sent messages and everything but user input until `finished` holds. It looks
    // again whenever anything arrives: what makes it hold must come as a call or a message.
    void WaitServing(const std::function<bool()>& finished);

    // The window system's own objects (QWidget* or HWND), for the tests of each layer.
    void* NativeWindow() const;
    void* NativeItem(int id) const;

protected:
    virtual void OnInitDialog() {}
    // A button (or a notifying static) was clicked, or the window system asked to close
    // (kIdCancel). By default kIdOk and kIdCancel end the dialog.
    virtual void OnCommand(int id);
    // A key pressed anywhere in the dialog, before the window system acts on it; true swallows it.
    virtual bool PreTranslateKey(int /*virtualKey*/) { return false; }
    // Files dropped on a dialog whose template accepts them: whole local paths, in order. None
    // while a modal box of the program runs over the dialog, nor a close (kIdCancel).
    virtual void OnDropFiles(const std::vector<std::string>& /*paths*/) {}
    // A system-menu command the window system does not handle itself (IDM_ABOUTBOX's range).
    virtual void OnSysCommand(unsigned /*nID*/, long /*lParam*/) {}
    // A message from SendDlgMessage, kFirstDialogMessage to kLastDialogMessage.
    virtual std::intptr_t OnMessage(unsigned /*message*/, std::uintptr_t /*wParam*/, std::intptr_t /*lParam*/) { return 0; }

private:
    struct Native;
    friend struct Native;

    const DialogTemplate& m_template;
    std::unique_ptr<Native> m_native;
};
