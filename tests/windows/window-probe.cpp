// Another process, doing to the real programs under Wine what any program on the desktop could.
//   window-probe poke TITLE          during a run: posts the layer's wake message with no call
//                                    waiting and sends a foreign progress of 100; exits 0 when the
//                                    window lives on, still running (its 停止 button shown)
//   window-probe close TITLE         posts WM_CLOSE to the window
//   window-probe hold PATH SECONDS   opens PATH sharing nothing, says "holding" on standard
//                                    output, and keeps it that long
#include "platform/WideText.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/Win32Api.h"

namespace {

constexpr int kCalculateButton = 1000;  // IDC_CALC, which shows 停止 during a run

bool Running(HWND window) { return IsWindow(window) && IsWindowVisible(GetDlgItem(window, kCalculateButton)); }

int Poke(HWND window)
{
    if (!Running(window))
        return 3;
    PostMessageW(window, WM_APP, 0, 0);
    PostMessageW(window, WM_APP, 0, 0x10);
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_USER + 100, 100, 0, SMTO_ABORTIFHUNG, 5000, &result);
    // Once this is answered, the posted messages before it have been handled too.
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    return Running(window) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring verb = argc > 2 ? argv[1] : L"";
    if (verb == L"hold" && argc == 4) {
        const HANDLE file =
            CreateFileW(zanfo::FilePath(zanfo::Narrow(argv[2])).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 2;
        std::printf("holding\n");
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(std::wcstoul(argv[3], nullptr, 10) * 1000));
        CloseHandle(file);
        return 0;
    }
    const HWND window = argc == 3 ? FindWindowW(nullptr, argv[2]) : nullptr;
    if (!window)
        return 2;
    if (verb == L"poke")
        return Poke(window);
    if (verb == L"close")
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    return 2;
}
