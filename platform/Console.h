#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace zanfo {

// The arguments after the program's name, as UTF-8: on Windows read from the wide command
// line, whatever the ANSI code page, so that Chinese names survive.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Standard output and standard error as streams of UTF-8 text. A Windows console gets them as
// UTF-16 through the wide console API, whatever its code page; files and pipes get the bytes.
// Output is buffered (line by line on a terminal); after a failed write, syncing the output
// again fails with the first failure's errno.
class CStandardStreams {
public:
    CStandardStreams();
    ~CStandardStreams();  // flushes both
    CStandardStreams(const CStandardStreams&) = delete;
    CStandardStreams& operator=(const CStandardStreams&) = delete;

    std::ostream& Out();
    std::ostream& Err();
    bool ErrIsTerminal() const;
    // The terminal understands escape sequences; a classic Windows console does not.
    bool ErrUnderstandsEscapes() const;

private:
    struct Native;
    std::unique_ptr<Native> m_native;
};

}  // namespace zanfo
