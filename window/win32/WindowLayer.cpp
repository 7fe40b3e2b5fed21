// The window layer over Win32: the dialog manager itself, with the dialogs built in memory
// from the same templates as everywhere else.
#include "window/WindowLayer.h"

#include "platform/WideText.h"
#include "res/DialogResource.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/Win32Api.h"

using zanfo::Narrow;
using zanfo::Widen;

namespace {

// Wakes the dialog to run the calls waiting in its own queue (SendToDialog). It carries nothing:
// any process may send it, and one that comes when none waits does nothing.
constexpr UINT kCallMessage = WM_APP;
// System commands from here up are the window system's (SC_SIZE is the first).
constexpr WPARAM kFirstSystemCommand = 0xF000;
constexpr int kHandCursorResource = 106;

// What the message loops need of every template dialog alive on the thread.
class CDialogWindow {
public:
    HWND hwnd = nullptr;
    virtual bool FilterKey(int virtualKey) = 0;

protected:
    ~CDialogWindow() = default;
};

std::vector<CDialogWindow*> g_dialogs;
// What the window system was told of the program.
const ApplicationIdentity* g_identity = nullptr;

CDialogWindow* DialogOf(HWND window)
{
    const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    for (CDialogWindow* dialog : g_dialogs)
        if (root && dialog->hwnd == root)
            return dialog;
    return nullptr;
}

// One message of a loop that serves dialogs: the dialog's key filter first, then the dialog
// manager's keyboard handling (Tab, Enter, Escape), then the window itself.
void DispatchForDialogs(MSG& msg)
{
    if (CDialogWindow* dialog = DialogOf(msg.hwnd)) {
        if (msg.message == WM_KEYDOWN && dialog->FilterKey(static_cast<int>(msg.wParam)))
            return;
        if (IsDialogMessageW(dialog->hwnd, &msg))
            return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

HICON ApplicationIcon(int metricX, int metricY)
{
    const auto resource = static_cast<WORD>(CWindowSystem::Identity().iconResource);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, GetSystemMetrics(metricX),
                                         GetSystemMetrics(metricY), LR_SHARED));
}

// The help viewer's hand, which every Windows has had; the system's own where it is missing.
HCURSOR HandCursor()
{
    static const HCURSOR cursor = [] {
        HCURSOR found = nullptr;
        wchar_t folder[MAX_PATH];
        const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            const std::wstring viewer = std::wstring(folder, length) + L"\\winhlp32.exe";
            // Only its resources are wanted: loaded as data, none of its code runs.
            if (HMODULE module = LoadLibraryExW(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
                if (HCURSOR loaded = LoadCursorW(module, MAKEINTRESOURCEW(kHandCursorResource)))
                    found = static_cast<HCURSOR>(CopyIcon(loaded));
                FreeLibrary(module);
            }
        }
        return found ? found : LoadCursorW(nullptr, IDC_HAND);
    }();
    return cursor;
}

std::string WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

}  // namespace

struct CWindowSystem::Native {
    ApplicationIdentity identity;

    explicit Native(ApplicationIdentity programIdentity)
        : identity(std::move(programIdentity))
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        g_identity = &identity;
    }
    ~Native() { g_identity = nullptr; }
};

CWindowSystem::CWindowSystem(int&, char**, ApplicationIdentity identity)
    : m_native(std::make_unique<Native>(std::move(identity)))
{
}

CWindowSystem::~CWindowSystem() = default;

const ApplicationIdentity& CWindowSystem::Identity()
{
    static const ApplicationIdentity none;
    return g_identity ? *g_identity : none;
}

void CWindowSystem::PumpEvents()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        DispatchForDialogs(msg);
    }
}

std::string CWindowSystem::ApplicationTitle()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    const std::size_t dot = name.rfind(L'.');
    return Narrow(dot == std::wstring::npos ? name : name.substr(0, dot));
}

Colour CWindowSystem::HighlightColour()
{
    return GetSysColor(COLOR_HIGHLIGHT);
}

void CWindowSystem::Beep()
{
    MessageBeep(MB_ICONEXCLAMATION);
}

struct CTemplateDialog::Native final : CDialogWindow {
    struct Link {
        HWND item;
        CLinkBehaviour* behaviour;
        bool hovering;
    };

    CTemplateDialog& self;
    Native* owner;
    // The dialog manager reads the template in place: DWORD-aligned, as the vector's storage is.
    const std::vector<unsigned char> resource;
    HWND tooltip = nullptr;
    std::vector<HFONT> fonts;
    std::vector<Link> links;
    // Calls from other threads, waiting to run on the dialog's (SendToDialog).
    std::mutex callsMutex;
    std::deque<const std::function<void()>*> calls;
    bool ended = false;
    bool ownerDisabled = false;
    int result = 0;

    static std::vector<Native*>& Modals()
    {
        static std::vector<Native*> modals;
        return modals;
    }

    Native(CTemplateDialog& dialog, Native* ownerDialog)
        : self(dialog)
        , owner(ownerDialog)
        , resource(BuildDialogResource(dialog.m_template))
    {
        g_dialogs.push_back(this);
    }
    ~Native()
    {
        if (hwnd)
            DestroyWindow(hwnd);
        for (HFONT font : fonts)
            DeleteObject(font);
        g_dialogs.erase(std::find(g_dialogs.begin(), g_dialogs.end(), this));
    }

    bool FilterKey(int virtualKey) override { return self.PreTranslateKey(virtualKey); }

    bool Create()
    {
        if (!hwnd)
            CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(resource.data()),
                                       owner ? owner->hwnd : nullptr, &Native::DialogProc, reinterpret_cast<LPARAM>(this));
        return hwnd != nullptr;
    }

    HWND Item(int id) const { return hwnd ? GetDlgItem(hwnd, id) : nullptr; }

    Link* LinkOf(HWND item)
    {
        for (Link& link : links)
            if (link.item == item)
                return &link;
        return nullptr;
    }

    void EnableOwner()
    {
        if (std::exchange(ownerDisabled, false))
            EnableWindow(owner->hwnd, TRUE);
    }

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(window, DWLP_USER, lParam);
            auto* native = reinterpret_cast<Native*>(lParam);
            native->hwnd = window;
            SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ApplicationIcon(SM_CXICON, SM_CYICON)));
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ApplicationIcon(SM_CXSMICON, SM_CYSMICON)));
            native->self.OnInitDialog();
            // FALSE keeps the focus where OnInitDialog put it.
            return GetFocus() == nullptr || !IsChild(window, GetFocus());
        }
        auto* native = reinterpret_cast<Native*>(GetWindowLongPtrW(window, DWLP_USER));
        return native ? native->OnDialogMessage(message, wParam, lParam) : FALSE;
    }

    INT_PTR OnDialogMessage(UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_COMMAND:
            if (Link* link = LinkOf(reinterpret_cast<HWND>(lParam))) {
                // A double-click sends STN_CLICKED for its first click, then STN_DBLCLK: one click.
                if (HIWORD(wParam) == STN_CLICKED)
                    link->behaviour->OnClicked();
            } else if (HIWORD(wParam) == BN_CLICKED) {
                self.OnCommand(LOWORD(wParam));
            }
            return TRUE;
        case WM_CLOSE:
            // Disabled while a box of its own runs over it, the dialog closes as little as it takes
            // a click; a WM_CLOSE from outside would leave the box alone on the screen.
            if (IsWindowEnabled(hwnd))
                self.OnCommand(kIdCancel);
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) >= kFirstSystemCommand)
                return FALSE;
            self.OnSysCommand(static_cast<unsigned>(wParam), static_cast<long>(lParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            if (Link* link = LinkOf(reinterpret_cast<HWND>(lParam))) {
                const auto dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, link->behaviour->TextColour());
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
            }
            return FALSE;
        case WM_DROPFILES:
            if (IsWindowEnabled(hwnd))
                OnDropFiles(reinterpret_cast<HDROP>(wParam));
            else
                DragFinish(reinterpret_cast<HDROP>(wParam));  // as a click while a box runs: ignored
            return TRUE;
        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(ApplicationIcon(SM_CXICON, SM_CYICON));
        case kCallMessage:
            RunWaitingCalls();
            return TRUE;
        default:
            return FALSE;
        }
    }

    void RunWaitingCalls()
    {
        for (;;) {
            const std::function<void()>* call = nullptr;
            {
                std::lock_guard<std::mutex> lock(callsMutex);
                if (calls.empty())
                    return;
                call = calls.front();
                calls.pop_front();
            }
            (*call)();
        }
    }

    void OnDropFiles(HDROP drop)
    {
        // Each name is asked for its length first: no path is cut at MAX_PATH.
        std::vector<std::string> paths;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths.push_back(Narrow(path));
        }
        DragFinish(drop);
        self.OnDropFiles(paths);
    }

    // Hover by mouse capture: the first move over the link takes the capture, so the move
    // that leaves it comes here too.
    static LRESULT CALLBACK LinkProc(HWND item, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        auto* native = reinterpret_cast<Native*>(data);
        Link* link = native->LinkOf(item);
        switch (message) {
        case WM_SETCURSOR:
            SetCursor(HandCursor());
            return TRUE;
        case WM_MOUSEMOVE: {
            const LRESULT handled = DefSubclassProc(item, message, wParam, lParam);
            RECT client;
            GetClientRect(item, &client);
            const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (!link->hovering) {
                link->hovering = true;
                link->behaviour->OnHover(true);
                SetCapture(item);
            } else if (!PtInRect(&client, at)) {
                link->hovering = false;
                ReleaseCapture();
                link->behaviour->OnHover(false);
            }
            return handled;
        }
        case WM_CAPTURECHANGED:
            // Lost to someone else (a message box, another window): the pointer is not ours now.
            if (std::exchange(link->hovering, false))
                link->behaviour->OnHover(false);
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(item, &Native::LinkProc, 1);
            break;
        }
        return DefSubclassProc(item, message, wParam, lParam);
    }
};

CTemplateDialog::CTemplateDialog(const DialogTemplate& dialogTemplate, CTemplateDialog* owner)
    : m_template(dialogTemplate)
    , m_native(std::make_unique<Native>(*this, owner ? owner->m_native.get() : nullptr))
{
}

CTemplateDialog::~CTemplateDialog() = default;

int CTemplateDialog::DoModal()
{
    Native& native = *m_native;
    if (!native.Create())
        return -1;
    if (native.owner && IsWindowEnabled(native.owner->hwnd)) {
        EnableWindow(native.owner->hwnd, FALSE);
        native.ownerDisabled = true;
    }
    native.ended = false;
    Native::Modals().push_back(&native);
    ShowWindow(native.hwnd, SW_SHOW);
    MSG msg;
    while (!native.ended) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            // The thread is quitting: its loop further out must see the quit as well.
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            EndDialog(kIdCancel);
            break;
        }
        DispatchForDialogs(msg);
    }
    Native::Modals().pop_back();
    return native.result;
}

void CTemplateDialog::Create()
{
    if (m_native->Create())
        ShowWindow(m_native->hwnd, SW_SHOW);
}

void CTemplateDialog::EndDialog(int result)
{
    Native& native = *m_native;
    native.result = result;
    native.ended = true;
    // The owner comes back first, so activation returns to it and not to another program.
    native.EnableOwner();
    if (native.hwnd) {
        ShowWindow(native.hwnd, SW_HIDE);
        PostMessageW(native.hwnd, WM_NULL, 0, 0);
    }
}

CTemplateDialog* CTemplateDialog::ActiveModal()
{
    for (auto it = Native::Modals().rbegin(); it != Native::Modals().rend(); ++it)
        if (!(*it)->ended)
            return &(*it)->self;
    return nullptr;
}

bool CTemplateDialog::IsWindowVisible() const
{
    return m_native->hwnd && ::IsWindowVisible(m_native->hwnd);
}

std::string CTemplateDialog::GetDlgItemText(int id) const
{
    const HWND item = m_native->Item(id);
    return item ? WindowText(item) : std::string();
}

void CTemplateDialog::SetDlgItemText(int id, const std::string& text)
{
    if (const HWND item = m_native->Item(id))
        SetWindowTextW(item, Widen(text).c_str());
}

void CTemplateDialog::ShowDlgItem(int id, bool show)
{
    if (const HWND item = m_native->Item(id))
        ShowWindow(item, show ? SW_SHOW : SW_HIDE);
}

bool CTemplateDialog::IsDlgItemVisible(int id) const
{
    const HWND item = m_native->Item(id);
    return item && ::IsWindowVisible(item);
}

void CTemplateDialog::GotoDlgItem(int id)
{
    if (const HWND item = m_native->Item(id))
        SendMessageW(m_native->hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
}

void CTemplateDialog::SetProgressPos(int id, int percent)
{
    if (const HWND item = m_native->Item(id))
        SendMessageW(item, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

int CTemplateDialog::GetProgressPos(int id) const
{
    const HWND item = m_native->Item(id);
    return item ? static_cast<int>(SendMessageW(item, PBM_GETPOS, 0, 0)) : 0;
}

ItemRect CTemplateDialog::GetItemRect(int id) const
{
    RECT rect{};
    if (const HWND item = m_native->Item(id)) {
        GetWindowRect(item, &rect);
        MapWindowPoints(nullptr, m_native->hwnd, reinterpret_cast<POINT*>(&rect), 2);
    }
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void CTemplateDialog::SetItemRect(int id, const ItemRect& rect)
{
    if (const HWND item = m_native->Item(id))
        SetWindowPos(item, nullptr, rect.x, rect.y, rect.cx, rect.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::uint32_t CTemplateDialog::GetItemStyle(int id) const
{
    const HWND item = m_native->Item(id);
    return item ? static_cast<std::uint32_t>(GetWindowLongW(item, GWL_STYLE)) : 0;
}

void CTemplateDialog::SetItemStyle(int id, std::uint32_t style)
{
    if (const HWND item = m_native->Item(id))
        SetWindowLongW(item, GWL_STYLE, static_cast<LONG>(style));
}

ItemRect CTemplateDialog::MapDialogRect(int x, int y, int cx, int cy) const
{
    // Each value is mapped by itself, as the dialog manager places controls.
    RECT rect{x, y, cx, cy};
    ::MapDialogRect(m_native->hwnd, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

void CTemplateDialog::AttachLink(int id, CLinkBehaviour* behaviour)
{
    Native& native = *m_native;
    const HWND item = native.Item(id);
    if (!item || native.LinkOf(item))
        return;
    native.links.push_back({item, behaviour, false});
    SetWindowSubclass(item, &Native::LinkProc, 1, reinterpret_cast<DWORD_PTR>(&native));
}

void CTemplateDialog::SetItemUnderline(int id)
{
    const HWND item = m_native->Item(id);
    LOGFONTW face{};
    if (!item || !GetObjectW(reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0)), sizeof(face), &face))
        return;
    face.lfUnderline = TRUE;
    const HFONT underlined = CreateFontIndirectW(&face);
    m_native->fonts.push_back(underlined);
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), TRUE);
}

void CTemplateDialog::MeasureItemText(int id, int& cx, int& cy) const
{
    const HWND item = m_native->Item(id);
    cx = cy = 0;
    if (!item)
        return;
    const std::wstring text = Widen(GetDlgItemText(id));
    const HDC dc = GetDC(item);
    const HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, previous);
    ReleaseDC(item, dc);
    cx = extent.cx;
    cy = extent.cy;
}

void CTemplateDialog::SetItemToolTip(int id, const std::string& text)
{
    Native& native = *m_native;
    const HWND item = native.Item(id);
    if (!item)
        return;
    if (!native.tooltip)
        native.tooltip =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, native.hwnd, nullptr, GetModuleHandleW(nullptr), nullptr);
    std::wstring tip = Widen(text);
    // One tool over the item's client area as it is now; the tooltip watches the item's mouse itself.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = item;
    tool.uId = 1;
    tool.lpszText = tip.data();
    if (SendMessageW(native.tooltip, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        GetClientRect(item, &tool.rect);
        SendMessageW(native.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        SendMessageW(native.tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CTemplateDialog::RedrawItem(int id)
{
    // The item and what lies under it: a link paints no background of its own.
    RECT rect;
    if (const HWND item = m_native->Item(id); item && GetWindowRect(item, &rect)) {
        MapWindowPoints(nullptr, m_native->hwnd, reinterpret_cast<POINT*>(&rect), 2);
        RedrawWindow(m_native->hwnd, &rect, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void CTemplateDialog::ShowMessageBox(const std::string& text, const std::string& caption, bool warning)
{
    MessageBoxW(m_native->hwnd, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | (warning ? MB_ICONEXCLAMATION : 0));
}

bool CTemplateDialog::ChooseFile(std::string& path, std::string& fileName)
{
    // Room for the longest path Windows knows, not MAX_PATH.
    std::wstring chosen(32768, L'\0');
    // The filter's name, then its pattern, each ending in a NUL, and one more NUL to end the list.
    const std::wstring filter = Widen(CWindowSystem::Identity().allFilesFilter) + L'\0' + L"*.*" + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = m_native->hwnd;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = chosen.data();
    dialog.nMaxFile = static_cast<DWORD>(chosen.size());
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog))
        return false;
    path = Narrow(chosen.c_str());
    fileName = Narrow(chosen.c_str() + dialog.nFileOffset);
    return true;
}

void CTemplateDialog::SendToDialog(const std::function<void()>& call)
{
    Native& native = *m_native;
    if (!native.hwnd || GetWindowThreadProcessId(native.hwnd, nullptr) == GetCurrentThreadId())
        return call();
    {
        std::lock_guard<std::mutex> lock(native.callsMutex);
        native.calls.push_back(&call);
    }
    // Returns once the dialog's thread has run the queue, this call included (an earlier wake
    // may have run it already). Should the window be gone, the call leaves the queue unrun.
    SendMessageW(native.hwnd, kCallMessage, 0, 0);
    std::lock_guard<std::mutex> lock(native.callsMutex);
    native.calls.erase(std::remove(native.calls.begin(), native.calls.end(), &call), native.calls.end());
}

void CTemplateDialog::WaitServing(const std::function<bool()>& finished)
{
    // Sent and posted messages, timers and painting; the user's keys and clicks stay queued.
    // Drops are posted messages: they arrive too, and the dialog decides about them. What is
    // already queued is served before `finished` is asked: a peek that serves a sent message
    // may return before the posted ones.
    constexpr UINT kServed = QS_SENDMESSAGE | QS_POSTMESSAGE | QS_PAINT | QS_TIMER;
    bool quit = false;
    int quitCode = 0;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT)) {
            // A quit is kept for the loops further out: this wait ends only when `finished` holds.
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(msg.wParam);
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (HIWORD(GetQueueStatus(QS_SENDMESSAGE | QS_POSTMESSAGE)))
            continue;
        if (finished())
            break;
        MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, kServed, MWMO_INPUTAVAILABLE);
    }
    if (quit)
        PostQuitMessage(quitCode);
}

void* CTemplateDialog::NativeWindow() const
{
    return m_native->hwnd;
}

void* CTemplateDialog::NativeItem(int id) const
{
    return m_native->Item(id);
}
