#include "controls/UrlLauncher.h"

#include "platform/Shell.h"

#include <cstdio>
#include <optional>
#include <utility>
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
    static const std::pair<int, const char*> kMessages[] = {
        {kOutOfResources, "The operating system is out\nof memory or resources."},
        {kFileNotFound, "The specified file was not found."},
        {kPathNotFound, "The specified path was not found."},
        {kAccessDenied, "The operating system denied\naccess to the specified file."},
        {kOutOfMemory, "There was not enough memory to complete the operation."},
        {kBadFormat, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {kSharingViolation, "A sharing violation occurred. "},
        {kAssociationIncomplete, "The filename association is\nincomplete or invalid."},
        {kDdeTimeout, "The DDE transaction could not\nbe completed because the request timed out."},
        {kDdeFailed, "The DDE transaction failed."},
        {kDdeBusy, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {kNoAssociation, "There is no application associated\nwith the given filename extension."},
        {kDllNotFound, "The specified dynamic-link library was not found."},
    };
    const std::string text = "Unable to open hyperlink:\n\n";
    for (const auto& [known, message] : kMessages)
        if (known == code)
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
