#include "platform/Shell.h"

#include "platform/DefaultBrowser.h"
#include "platform/DesktopEntry.h"
#include "platform/ProcessLauncher.h"

#include <cerrno>
#include <chrono>

namespace zanfo {
namespace {

// What xdg-open's outcome means as a shell result code. The one place this mapping lives:
//   exit 0, or still running after the wait (it hands over to the browser and may stay) -> success
//   no xdg-open to start                  -> 31 no application associated
//   exit 3, a required tool is missing    -> 31 no application associated
//   exit 2, the file does not exist       ->  2 file not found
//   exit 1, a syntax error                -> 27 association incomplete or invalid
//   exit 4, the action failed, or killed  -> 27 association incomplete or invalid
int ShellResultOf(const ProcessOutcome& outcome)
{
    if (outcome.startError != 0)
        return kNoAssociation;
    if (outcome.stillRunning || (outcome.exited && outcome.exitStatus == 0))
        return kSuccess;
    switch (outcome.exited ? outcome.exitStatus : -1) {
    case 2:
        return kFileNotFound;
    case 3:
        return kNoAssociation;
    default:
        return kAssociationIncomplete;
    }
}

// What a failed start of the handler means, as WinExec would report it.
int StartResultOf(int error)
{
    switch (error) {
    case 0:
        return kSuccess;
    case ENOENT:
        return kFileNotFound;
    case ENOTDIR:
        return kPathNotFound;
    case EACCES:
    case EPERM:
        return kAccessDenied;
    case ENOEXEC:
        return kBadFormat;
    case ENOMEM:
        return kOutOfMemory;
    default:
        return kOutOfResources;
    }
}

}  // namespace

int ShellOpenUrl(const std::string& url, int)
{
    // xdg-open returns once the browser has been started, but some browsers keep it waiting
    // until they exit. The dialog cannot repaint meanwhile: after this it counts as started.
    constexpr std::chrono::milliseconds kShellWait(1000);
    return ShellResultOf(RunAndWait({"xdg-open", url}, kShellWait));
}

std::optional<std::string> WebPageHandlerCommand()
{
    return DefaultWebBrowserExec();
}

const UrlPlaceholders& HandlerUrlPlaceholders()
{
    // The desktop-entry field codes that stand for the URL.
    static const UrlPlaceholders placeholders{{"\"%u\"", "\"%U\"", "\"%f\"", "\"%F\""}, {"%u", "%U", "%f", "%F"}};
    return placeholders;
}

int StartWebPageHandler(const std::string& cutCommand, const std::string& url, int)
{
    // The command is split by the desktop-entry rules and the URL added as one argument of its
    // own: no shell sees it, so it can neither run anything nor split into several.
    std::optional<std::vector<std::string>> argv = SplitDesktopExec(cutCommand);
    if (!argv || argv->empty())
        return kAssociationIncomplete;
    argv->push_back(url);
    return StartResultOf(StartDetached(*argv));
}

}  // namespace zanfo
