#include "controls/UrlLauncher.h"

#include "platform/Shell.h"

#include <cstdio>
#include <optional>
#include <vector>

using namespace zanfo;

namespace {

// Longer command lines than this are refused: Windows cannot start them and nothing sane needs them.
constexpr std::size_t kMaxCommandLine = 32767;

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

// Where the first of the candidates starts in the command, if any does.
std::optional<std::size_t> FindFirst(const std::string& command, const std::vector<std::string>& candidates)
{
    std::optional<std::size_t> first;
    for (const std::string& candidate : candidates) {
        const std::size_t at = command.find(candidate);
        if (at != std::string::npos && (!first || at < *first))
            first = at;
    }
    return first;
}

// The handler's command up to its URL placeholder (a quoted one first); all of it without one.
std::string CutCommand(const std::string& handlerCommand)
{
    std::optional<std::size_t> cut = FindFirst(handlerCommand, HandlerUrlPlaceholders().quoted);
    if (!cut)
        cut = FindFirst(handlerCommand, HandlerUrlPlaceholders().bare);
    return handlerCommand.substr(0, cut.value_or(handlerCommand.size()));
}

}  // namespace

std::string CUrlLauncher::BuildCommandLine(const std::string& handlerCommand, const std::string& url)
{
    return CutCommand(handlerCommand) + " " + url;
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

int CUrlLauncher::ShellOpen(const std::string& url, int showCommand)
{
    return HasScheme(url) ? ShellOpenUrl(url, showCommand) : kFileNotFound;
}

int CUrlLauncher::OpenUrl(const std::string& url, int showCommand)
{
    if (!HasScheme(url))
        return kFileNotFound;
    const int shellResult = ShellOpenUrl(url, showCommand);
    if (static_cast<unsigned>(shellResult) > 32)
        return shellResult;
    const std::optional<std::string> handler = WebPageHandlerCommand();
    if (!handler)
        return shellResult;
    return StartHandler(*handler, url, showCommand);
}

int CUrlLauncher::StartHandler(const std::string& handlerCommand, const std::string& url, int showCommand)
{
    const std::string cutCommand = CutCommand(handlerCommand);
    if (cutCommand.size() + 1 + url.size() > kMaxCommandLine)
        return kOutOfResources;
    return StartWebPageHandler(cutCommand, url, showCommand);
}
