#pragma once

#include <string>

// Opens a URL in the user's browser for the link label and turns a failure into its message.
// Results are the shell's (zanfo::ShellResult): above 32 is success, 0 to 32 name a failure.
class CUrlLauncher {
public:
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
