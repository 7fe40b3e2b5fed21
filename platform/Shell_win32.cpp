#include "platform/Shell.h"

#include "platform/Win32Api.h"

namespace zanfo {
namespace {

// The default value of a key under HKEY_CLASSES_ROOT; nothing when the key cannot be opened.
std::optional<std::string> ReadKeyDefault(const std::string& subKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    char buffer[MAX_PATH] = {};
    LONG size = sizeof buffer;
    if (RegQueryValueA(key, nullptr, buffer, &size) != ERROR_SUCCESS)
        buffer[0] = '\0';
    buffer[MAX_PATH - 1] = '\0';
    RegCloseKey(key);
    return std::string(buffer);
}

}  // namespace

int ShellOpenUrl(const std::string& url, int showCommand)
{
    // The shell may hand the URL to extensions that need COM on this thread, as ShellExecute's
    // documentation says; a thread that already has it keeps its own.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, showCommand));
    if (SUCCEEDED(com))
        CoUninitialize();
    return static_cast<int>(result);
}

std::optional<std::string> WebPageHandlerCommand()
{
    // The class of web pages, then that class's open command.
    const std::optional<std::string> pageClass = ReadKeyDefault(".htm");
    return pageClass ? ReadKeyDefault(*pageClass + "\\shell\\open\\command") : std::nullopt;
}

const UrlPlaceholders& HandlerUrlPlaceholders()
{
    static const UrlPlaceholders placeholders{{"\"%1\""}, {"%1"}};
    return placeholders;
}

int StartWebPageHandler(const std::string& cutCommand, const std::string& url, int showCommand)
{
    return static_cast<int>(WinExec((cutCommand + " " + url).c_str(), static_cast<UINT>(showCommand)));
}

}  // namespace zanfo
