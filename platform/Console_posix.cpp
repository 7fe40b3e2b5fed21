#include "platform/Console.h"

#include <cerrno>
#include <iostream>
#include <streambuf>

#include <unistd.h>

namespace zanfo {
namespace {

// Standard output through one buffer, written when it is full, at the end, and at each line
// for a terminal. The errno of the first failed write is kept: later ones could only say that
// the stream broke.
class COutputBuffer : public std::streambuf {
public:
    COutputBuffer()
        : m_lineByLine(::isatty(1) != 0)
    {
        setp(m_buffer, m_buffer + sizeof m_buffer);
    }

protected:
    int_type overflow(int_type c) override
    {
        if (Flush() != 0)
            return traits_type::eof();
        if (c != traits_type::eof()) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        const std::streamsize written = std::streambuf::xsputn(text, count);
        if (m_lineByLine && std::char_traits<char>::find(text, static_cast<std::size_t>(count), '\n') && Flush() != 0)
            return 0;
        return written;
    }

    int sync() override { return Flush(); }

private:
    int Flush()
    {
        for (const char* at = pbase(); m_error == 0 && at < pptr();) {
            const ssize_t done = ::write(1, at, static_cast<std::size_t>(pptr() - at));
            if (done < 0 && errno != EINTR)
                m_error = errno;
            at += done > 0 ? done : 0;
        }
        setp(m_buffer, m_buffer + sizeof m_buffer);
        errno = m_error;
        return m_error == 0 ? 0 : -1;
    }

    char m_buffer[65536];
    bool m_lineByLine;
    int m_error = 0;
};

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

struct CStandardStreams::Native {
    COutputBuffer outBuffer;
    std::ostream out{&outBuffer};
};

CStandardStreams::CStandardStreams()
    : m_native(std::make_unique<Native>())
{
}

CStandardStreams::~CStandardStreams()
{
    m_native->out.flush();
    std::cerr.flush();
}

std::ostream& CStandardStreams::Out()
{
    return m_native->out;
}

std::ostream& CStandardStreams::Err()
{
    return std::cerr;
}

bool CStandardStreams::ErrIsTerminal() const
{
    return ::isatty(2) != 0;
}

bool CStandardStreams::ErrUnderstandsEscapes() const
{
    return true;
}

}  // namespace zanfo
