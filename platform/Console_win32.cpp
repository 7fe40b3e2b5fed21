#include "platform/Console.h"

#include "platform/TextCodec.h"
#include "platform/WideText.h"

#include <cerrno>
#include <streambuf>

#include "platform/Win32Api.h"

namespace zanfo {
namespace {

// A standard handle as a stream of UTF-8 text: a console gets it through WriteConsoleW, a file
// or a pipe gets the bytes unchanged.
class CConsoleStream : public std::streambuf {
public:
    CConsoleStream(DWORD standardHandle, bool lineByLine)
        : m_handle(GetStdHandle(standardHandle))
        , m_lineByLine(lineByLine)
    {
        DWORD mode = 0;
        m_console = GetConsoleMode(m_handle, &mode) != 0;
    }

    bool IsConsole() const { return m_console; }

    // Asks the console to understand escape sequences; false where it cannot (a classic console).
    bool EnableEscapeSequences()
    {
        DWORD mode = 0;
        return m_console && GetConsoleMode(m_handle, &mode) &&
               SetConsoleMode(m_handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }

protected:
    int_type overflow(int_type c) override
    {
        if (c != traits_type::eof())
            m_pending += traits_type::to_char_type(c);
        return c == traits_type::eof() ? traits_type::not_eof(c) : c;
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        m_pending.append(text, static_cast<std::size_t>(count));
        // On a console, and for messages, lines go out as they end, so that output and messages
        // interleave as they were made; output to a file or a pipe goes in large writes.
        const bool due = m_console || m_lineByLine ? m_pending.find('\n') != std::string::npos : m_pending.size() >= kBufferSize;
        if (due && sync() != 0)
            return 0;
        return count;
    }

    int sync() override
    {
        // A stream that failed once tells that failure again: later ones could only say it broke.
        if (m_error != 0) {
            errno = m_error;
            return -1;
        }
        const std::size_t whole = m_console ? CompleteUtf8Prefix(m_pending) : m_pending.size();
        if (whole == 0)
            return 0;
        BOOL written = TRUE;
        if (m_console) {
            const std::wstring wide = Widen(std::string_view(m_pending.data(), whole));
            for (std::size_t at = 0; written && at < wide.size();) {
                DWORD done = 0;
                written = WriteConsoleW(m_handle, wide.data() + at, static_cast<DWORD>(wide.size() - at), &done, nullptr) && done > 0;
                at += done;
            }
        } else {
            for (std::size_t at = 0; written && at < whole;) {
                DWORD done = 0;
                written = WriteFile(m_handle, m_pending.data() + at, static_cast<DWORD>(whole - at), &done, nullptr) && done > 0;
                at += done;
            }
        }
        m_pending.erase(0, whole);
        if (written)
            return 0;
        const DWORD error = GetLastError();
        m_error = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? ENOSPC
                  : error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA      ? EPIPE
                                                                              : EIO;
        errno = m_error;
        return -1;
    }

private:
    static constexpr std::size_t kBufferSize = 65536;

    HANDLE m_handle;
    bool m_console;
    bool m_lineByLine;
    int m_error = 0;
    std::string m_pending;  // bytes not yet written; at most an incomplete character after sync
};

}  // namespace

std::vector<std::string> ProgramArguments(int, char**)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

struct CStandardStreams::Native {
    CConsoleStream outBuffer{STD_OUTPUT_HANDLE, false};
    CConsoleStream errBuffer{STD_ERROR_HANDLE, true};
    std::ostream out{&outBuffer};
    std::ostream err{&errBuffer};
    bool ansi = errBuffer.EnableEscapeSequences();
};

CStandardStreams::CStandardStreams()
    : m_native(std::make_unique<Native>())
{
}

CStandardStreams::~CStandardStreams()
{
    m_native->out.flush();
    m_native->err.flush();
}

std::ostream& CStandardStreams::Out()
{
    return m_native->out;
}

std::ostream& CStandardStreams::Err()
{
    return m_native->err;
}

bool CStandardStreams::ErrIsTerminal() const
{
    return m_native->errBuffer.IsConsole();
}

bool CStandardStreams::ErrUnderstandsEscapes() const
{
    return m_native->ansi;
}

}  // namespace zanfo
