#include "tools/cli/ConsoleStream.h"

#include "platform/WideText.h"

namespace {

// How many leading bytes of `text` end on a whole UTF-8 character.
std::size_t WholeCharacters(const std::string& text)
{
    std::size_t end = text.size();
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue;
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        if (length > back)
            end = text.size() - back;
        break;
    }
    return end;
}

}  // namespace

CConsoleStream::CConsoleStream(DWORD standardHandle)
    : m_handle(GetStdHandle(standardHandle))
{
    DWORD mode = 0;
    m_console = GetConsoleMode(m_handle, &mode) != 0;
}

bool CConsoleStream::EnableEscapeSequences()
{
    DWORD mode = 0;
    return m_console && GetConsoleMode(m_handle, &mode) &&
           SetConsoleMode(m_handle, mode | ENABLE_PROCESSED_OUTPUT | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

CConsoleStream::int_type CConsoleStream::overflow(int_type c)
{
    if (c != traits_type::eof())
        m_pending += traits_type::to_char_type(c);
    return c == traits_type::eof() ? traits_type::not_eof(c) : c;
}

std::streamsize CConsoleStream::xsputn(const char* text, std::streamsize count)
{
    m_pending.append(text, static_cast<std::size_t>(count));
    // Lines go out as they end, so that output and messages interleave as they were made.
    if (m_pending.find('\n') != std::string::npos && sync() != 0)
        return 0;
    return count;
}

int CConsoleStream::sync()
{
    const std::size_t whole = m_console ? WholeCharacters(m_pending) : m_pending.size();
    if (whole == 0)
        return 0;
    BOOL written = TRUE;
    if (m_console) {
        const std::wstring wide = zanfo::Widen(std::string_view(m_pending.data(), whole));
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
    return written ? 0 : -1;
}
