#pragma once

#include <string>

// Opens a URL in the user's browser for the link label and turns a failure into its message.
// Results follow the Windows shell's convention: above 32 is success, 0 to 32 name a failure.
// Off Windows, "the shell" is xdg-open and the registered web-page handler is the default
// application for http links in the XDG MIME applications database.
class CUrlLauncher {
public:
    // Failure codes, named as the Windows shell names them.
    enum ResultCode {
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
    static constexpr int kShowNormal = 1;
    static constexpr int kShow = 5;

    // Asks the shell to open the URL; when it fails, starts the registered web-page handler with
    // the URL. Returns the shell's code, or the start's when the handler was tried.
    static int OpenUrl(const std::string& url, int showCommand);

    // The shell alone: what the main dialog's Query button uses.
    static int ShellOpen(const std::string& url, int showCommand);

    // The handler's command cut at its URL placeholder, one blank and the URL.
    static std::string BuildCommandLine(const std::string& handlerCommand, const std::string& url);

    // "Unable to open hyperlink:\n\n" and the message for the code.
    static std::string OpenErrorText(int code);

private:
    static int StartHandler(const std::string& handlerCommand, const std::string& url, int showCommand);
};
