// The test input of the Win32 layer: real input through SendInput at screen positions, so the
// window manager's hit-testing, capture and cursor rules decide who gets it.
#include "tests/support/DialogDriver.h"

#include "platform/WideText.h"

#include <algorithm>
#include <utility>

#include "platform/Win32Api.h"

#include <shlobj.h>

namespace {

HWND Window(CTemplateDialog& dlg) { return static_cast<HWND>(dlg.NativeWindow()); }
HWND Item(CTemplateDialog& dlg, int id) { return static_cast<HWND>(dlg.NativeItem(id)); }

POINT CentreOnScreen(CTemplateDialog& dlg, int id)
{
    RECT rect;
    GetWindowRect(Item(dlg, id), &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The pointer moves to `at`, then the buttons act there. The input is queued at once (Wine
// queues it synchronously) and served as a loop would retrieve it, up to its own last
// message: other messages queued meanwhile stay queued.
//
// Windows makes two clicks on one spot within the double-click time a double-click. The
// events carry time stamps from the driver's own clock, which puts a click that must stay
// single past that time.
void SendMouse(POINT at, const std::vector<DWORD>& buttons)
{
    static DWORD clock = 0, lastButton = 0;
    const bool singleClick = buttons.size() == 2;
    clock = std::max({clock + 1, static_cast<DWORD>(GetTickCount64()), singleClick ? lastButton + GetDoubleClickTime() + 1 : 0});
    std::vector<INPUT> inputs(1 + buttons.size(), INPUT{INPUT_MOUSE});
    const LONG x = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1), y = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    inputs[0].mi = {x, y, 0, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, clock, 0};
    for (std::size_t i = 0; i < buttons.size(); ++i)
        inputs[i + 1].mi = {0, 0, 0, buttons[i], lastButton = ++clock, 0};
    POINT from{};
    GetCursorPos(&from);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    // A move to where the pointer already is makes no message.
    const bool moves = from.x != at.x || from.y != at.y;
    const UINT last = buttons.size() == 0 ? WM_MOUSEMOVE : WM_LBUTTONUP;
    const ULONGLONG deadline = GetTickCount64() + 2000;
    MSG msg;
    while ((moves || buttons.size()) && GetTickCount64() < deadline) {
        if (!PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
            MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_MOUSE, 0);
            continue;
        }
        DispatchMessageW(&msg);
        if (msg.message == last)
            break;
    }
    // What serving it queued in turn (a capture released moves the pointer by nothing, for the
    // cursor's sake) is served too; asking the queue serves no worker's call meanwhile.
    while (HIWORD(GetQueueStatus(QS_MOUSE)) && PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE))
        DispatchMessageW(&msg);
}

// The tooltip window of this thread that is showing, if one is.
HWND VisibleToolTip()
{
    for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
         tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
        if (IsWindowVisible(tip) && GetWindowThreadProcessId(tip, nullptr) == GetCurrentThreadId())
            return tip;
    return nullptr;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int milliseconds)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
    while (!condition()) {
        if (GetTickCount64() > deadline)
            return false;
        CWindowSystem::PumpEvents();
        MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    return true;
}

void ClickItem(CTemplateDialog& dlg, int id, int clicks)
{
    const std::vector<DWORD> buttons = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    SendMouse(CentreOnScreen(dlg, id), std::vector<DWORD>(buttons.begin(), buttons.begin() + 2 * clicks));
}

void MovePointerTo(CTemplateDialog& dlg, int id) { SendMouse(CentreOnScreen(dlg, id), {}); }

void PressKey(CTemplateDialog& dlg, int virtualKey)
{
    // Keys go to the focus window through the queue, where the dialog's loop filters them.
    const HWND focus = GetFocus() ? GetFocus() : Window(dlg);
    PostMessageW(focus, WM_KEYDOWN, static_cast<WPARAM>(virtualKey), 1);
    PostMessageW(focus, WM_KEYUP, static_cast<WPARAM>(virtualKey), static_cast<LPARAM>(0xC0000001u));
    CWindowSystem::PumpEvents();
}

bool HasFocus(CTemplateDialog& dlg, int id) { return GetFocus() == Item(dlg, id); }

void ClickCloseBox(CTemplateDialog& dlg)
{
    // What the frame's close box sends.
    PostMessageW(Window(dlg), WM_SYSCOMMAND, SC_CLOSE, 0);
    CWindowSystem::PumpEvents();
}

void DropFiles(CTemplateDialog& dlg, const std::vector<std::string>& paths, bool queued)
{
    // Windows drops only files: a dragged URL never becomes a WM_DROPFILES.
    if (paths.empty() || paths.front().find("://") != std::string::npos)
        return;
    std::wstring names;
    for (const std::string& path : paths)
        if (path.find("://") == std::string::npos)
            names += zanfo::Widen(path) + L'\0';
    names += L'\0';
    const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->pt = {10, 10};
    header->fWide = TRUE;
    std::copy(names.begin(), names.end(), reinterpret_cast<wchar_t*>(header + 1));
    GlobalUnlock(memory);
    // Queued as the shell posts it; now, straight to the window, ahead of anything queued.
    if (queued)
        PostMessageW(Window(dlg), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    else
        SendMessageW(Window(dlg), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

bool ItemShowsColour(CTemplateDialog& dlg, int id, Colour colour)
{
    // The item paints itself into a bitmap of ours, as it would on the screen. Colour is laid out
    // as a COLORREF.
    const HWND item = Item(dlg, id);
    RECT rect;
    GetClientRect(item, &rect);
    const HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    PrintWindow(item, memory, PW_CLIENTONLY);
    bool found = false;
    for (int y = 0; y < rect.bottom && !found; ++y)
        for (int x = 0; x < rect.right && !found; ++x)
            found = GetPixel(memory, x, y) == colour;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return found;
}

std::string ShownToolTip()
{
    HWND tip = nullptr;
    if (!WaitUntil([&] { return (tip = VisibleToolTip()) != nullptr; }, 5000))
        return std::string();
    wchar_t text[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return zanfo::Narrow(text);
}

bool HandCursorOver(CTemplateDialog& dlg, int id)
{
    MovePointerTo(dlg, id);
    return GetCursor() == LoadCursorW(nullptr, IDC_HAND);
}

namespace {

// The act of the WithNextModal call under way, run once by the thread timer that looks for a modal.
const std::function<void(CTemplateDialog&)>* g_modalAct = nullptr;

void CALLBACK LookForModal(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (CTemplateDialog* modal = CTemplateDialog::ActiveModal(); modal && g_modalAct) {
        KillTimer(nullptr, timer);
        (*std::exchange(g_modalAct, nullptr))(*modal);
    }
}

}  // namespace

bool WithNextModal(const std::function<void()>& open, const std::function<void(CTemplateDialog&)>& act)
{
    // Looks each time the thread's timers are served until a modal comes; gone on return, so an
    // open that brings up nothing leaves no stray callback.
    g_modalAct = &act;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &LookForModal);
    open();
    KillTimer(nullptr, timer);
    return !std::exchange(g_modalAct, nullptr);
}
