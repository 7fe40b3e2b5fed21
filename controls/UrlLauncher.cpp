#include "controls/UrlLauncher.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include "platform/DefaultBrowser.h"
#include "platform/DesktopEntry.h"
#include "platform/ProcessLauncher.h"

#include <cerrno>
#include <chrono>
#endif

namespace {

// Longer command lines than this are refused: Windows cannot start them and nothing sane needs them.
constexpr std::size_t kMaxCommandLine = 32767;

struct Placeholder {
    std::size_t at;  // where the command is cut
    bool found;
};

#ifdef _WIN32
const char* const kQuotedPlaceholders[] = {"\"%1\""};
const char* const kPlaceholders[] = {"%1"};
#else
// Desktop-entry field codes that stand for the URL.
const char* const kQuotedPlaceholders[] = {"\"%u\"", "\"%U\"", "\"%f\"", "\"%F\""};
const char* const kPlaceholders[] = {"%u", "%U", "%f", "%F"};
#endif

// A URL starts with its scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
// Anything else (a leading '-' above all) could be taken by the program for an option.
bool HasScheme(const std::string& url)
{
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (url.empty() || !isLetter(url[0]))
        return false;
    for (const char c : url) {
        if (c == ':')
            return true;
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return false;
}

template <std::size_t N>
Placeholder FindFirst(const std::string& command, const char* const (&candidates)[N])
{
    Placeholder first{std::string::npos, false};
    for (const char* candidate : candidates) {
        const std::size_t at = command.find(candidate);
        if (at != std::string::npos && (!first.found || at < first.at))
            first = {at, true};
    }
    return first;
}

#ifndef _WIN32

// What xdg-open's outcome means as a shell result code. The one place this mapping lives:
//   exit 0, or still running after the wait (it hands over to the browser and may stay) -> success
//   no xdg-open to start                  -> 31 no application associated
//   exit 3, a required tool is missing    -> 31 no application associated
//   exit 2, the file does not exist       ->  2 file not found
//   exit 1, a syntax error                -> 27 association incomplete or invalid
//   exit 4, the action failed, or killed  -> 27 association incomplete or invalid
int ShellResultOf(const zanfo::ProcessOutcome& outcome)
{
    if (outcome.startError != 0)
        return CUrlLauncher::kNoAssociation;
    if (outcome.stillRunning || (outcome.exited && outcome.exitStatus == 0))
        return CUrlLauncher::kSuccess;
    switch (outcome.exited ? outcome.exitStatus : -1) {
    case 2:
        return CUrlLauncher::kFileNotFound;
    case 3:
        return CUrlLauncher::kNoAssociation;
    default:
        return CUrlLauncher::kAssociationIncomplete;
    }
}

// What a failed start of the handler means, as WinExec would report it.
int StartResultOf(int error)
{
    switch (error) {
    case 0:
        return CUrlLauncher::kSuccess;
    case ENOENT:
        return CUrlLauncher::kFileNotFound;
    case ENOTDIR:
        return CUrlLauncher::kPathNotFound;
    case EACCES:
    case EPERM:
        return CUrlLauncher::kAccessDenied;
    case ENOEXEC:
        return CUrlLauncher::kBadFormat;
    case ENOMEM:
        return CUrlLauncher::kOutOfMemory;
    default:
        return CUrlLauncher::kOutOfResources;
    }
}

#endif

}  // namespace

std::string CUrlLauncher::BuildCommandLine(const std::string& handlerCommand, const std::string& url)
{
    Placeholder cut = FindFirst(handlerCommand, kQuotedPlaceholders);
    if (!cut.found)
        cut = FindFirst(handlerCommand, kPlaceholders);
    return handlerCommand.substr(0, cut.found ? cut.at : handlerCommand.size()) + " " + url;
}

std::string CUrlLauncher::OpenErrorText(int code)
{
    const char* message = nullptr;
    switch (code) {
    case kOutOfResources: message = "The operating system is out\nof memory or resources."; break;
    case kFileNotFound: message = "The specified file was not found."; break;
    case kPathNotFound: message = "The specified path was not found."; break;
    case kAccessDenied: message = "The operating system denied\naccess to the specified file."; break;
    case kOutOfMemory: message = "There was not enough memory to complete the operation."; break;
    case kBadFormat: message = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case kSharingViolation: message = "A sharing violation occurred. "; break;
    case kAssociationIncomplete: message = "The filename association is\nincomplete or invalid."; break;
    case kDdeTimeout: message = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case kDdeFailed: message = "The DDE transaction failed."; break;
    case kDdeBusy:
        message = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case kNoAssociation: message = "There is no application associated\nwith the given filename extension."; break;
    case kDllNotFound: message = "The specified dynamic-link library was not found."; break;
    default: break;
    }
    std::string text = "Unable to open hyperlink:\n\n";
    if (message)
        return text + message;
    char unknown[64];
    std::snprintf(unknown, sizeof unknown, "Unknown Error (%d) occurred.", code);
    return text + unknown;
}

#ifdef _WIN32

namespace {

// The default value of a key under HKEY_CLASSES_ROOT; false when the key cannot be opened.
bool ReadKeyDefault(const std::string& subKey, std::string& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    char buffer[MAX_PATH] = {};
    LONG size = sizeof buffer;
    if (RegQueryValueA(key, nullptr, buffer, &size) != ERROR_SUCCESS)
        buffer[0] = '\0';
    buffer[MAX_PATH - 1] = '\0';
    RegCloseKey(key);
    value = buffer;
    return true;
}

}  // namespace

int CUrlLauncher::ShellOpen(const std::string& url, int showCommand)
{
    if (!HasScheme(url))
        return kFileNotFound;
    return static_cast<int>(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, showCommand)));
}

int CUrlLauncher::OpenUrl(const std::string& url, int showCommand)
{
    if (!HasScheme(url))
        return kFileNotFound;
    const int shellResult = ShellOpen(url, showCommand);
    if (static_cast<unsigned>(shellResult) > 32)
        return shellResult;
    std::string pageClass, command;
    if (!ReadKeyDefault(".htm", pageClass) || !ReadKeyDefault(pageClass + "\\shell\\open\\command", command))
        return shellResult;
    return StartHandler(command, url, showCommand);
}

int CUrlLauncher::StartHandler(const std::string& handlerCommand, const std::string& url, int showCommand)
{
    const std::string commandLine = BuildCommandLine(handlerCommand, url);
    if (commandLine.size() > kMaxCommandLine)
        return kOutOfResources;
    return static_cast<int>(WinExec(commandLine.c_str(), static_cast<UINT>(showCommand)));
}

#else

int CUrlLauncher::ShellOpen(const std::string& url, int)
{
    if (!HasScheme(url))
        return kFileNotFound;
    // xdg-open returns once the browser has been started, but some browsers keep it waiting
    // until they exit. The dialog cannot repaint meanwhile: after this it counts as started.
    constexpr std::chrono::milliseconds kShellWait(1000);
    return ShellResultOf(zanfo::RunAndWait({"xdg-open", url}, kShellWait));
}

int CUrlLauncher::OpenUrl(const std::string& url, int showCommand)
{
    if (!HasScheme(url))
        return kFileNotFound;
    const int shellResult = ShellOpen(url, showCommand);
    if (static_cast<unsigned>(shellResult) > 32)
        return shellResult;
    const std::optional<std::string> handler = zanfo::DefaultWebBrowserExec();
    if (!handler)
        return shellResult;
    return StartHandler(*handler, url, showCommand);
}

int CUrlLauncher::StartHandler(const std::string& handlerCommand, const std::string& url, int)
{
    const std::string commandLine = BuildCommandLine(handlerCommand, url);
    if (commandLine.size() > kMaxCommandLine)
        return kOutOfResources;
    // The cut command is split by the desktop-entry rules and the URL added as one argument of
    // its own: no shell sees it, so it can neither run anything nor split into several.
    const std::string cutCommand = commandLine.substr(0, commandLine.size() - url.size() - 1);
    std::optional<std::vector<std::string>> argv = zanfo::SplitDesktopExec(cutCommand);
    if (!argv || argv->empty())
        return kAssociationIncomplete;
    argv->push_back(url);
    return StartResultOf(zanfo::StartDetached(*argv));
}

#endif
