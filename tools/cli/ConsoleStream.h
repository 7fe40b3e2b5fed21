#pragma once

#include <streambuf>
#include <string>

#include <windows.h>

// A standard handle as a stream of UTF-8 text: a console gets it as UTF-16 through the wide
// console API, whatever its code page; a file or a pipe gets the UTF-8 bytes unchanged.
class CConsoleStream : public std::streambuf {
public:
    explicit CConsoleStream(DWORD standardHandle);

    bool IsConsole() const { return m_console; }
    // Asks the console to understand escape sequences; false where it cannot (a classic console).
    bool EnableEscapeSequences();

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    HANDLE m_handle;
    bool m_console;
    std::string m_pending;  // bytes not yet written; at most an incomplete character after sync
};
