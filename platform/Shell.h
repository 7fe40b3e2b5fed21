#pragma once

#include <optional>
#include <string>
#include <vector>

// The desktop's ways of opening a URL: the shell, and the registered web-page handler behind it.
// Off Windows, "the shell" is xdg-open and the handler is the default application for http links
// in the XDG MIME applications database.
namespace zanfo {

// Results in the Windows shell's convention: above 32 is success, 0 to 32 name a failure.
enum ShellResult : int {
    kOutOfResources = 0,
    kFileNotFound = 2,
    kPathNotFound = 3,
    kAccessDenied = 5,
    kOutOfMemory = 8,
    kBadFormat = 11,
    kSharingViolation = 26,
    kAssociationIncomplete = 27,
    kDdeTimeout = 28,
    kDdeFailed = 29,
    kDdeBusy = 30,
    kNoAssociation = 31,
    kDllNotFound = 32,
    kSuccess = 33,
};

// How a started program shows its window (Windows' SW_SHOWNORMAL and SW_SHOW).
constexpr int kShowNormal = 1;
constexpr int kShow = 5;

// Asks the shell to open the URL, which the caller has checked to start with a scheme.
int ShellOpenUrl(const std::string& url, int showCommand);

// The registered web-page handler's command as registered, with its URL placeholder; nothing
// when none is registered.
std::optional<std::string> WebPageHandlerCommand();

// The marks in a handler's command that stand for the URL: quoted ones are looked for first.
struct UrlPlaceholders {
    std::vector<std::string> quoted;
    std::vector<std::string> bare;
};
const UrlPlaceholders& HandlerUrlPlaceholders();

// Starts the handler: its command cut before the placeholder, then the URL after one blank,
// which no shell ever splits or runs. Does not wait for it; returns its ShellResult.
int StartWebPageHandler(const std::string& cutCommand, const std::string& url, int showCommand);

}  // namespace zanfo
