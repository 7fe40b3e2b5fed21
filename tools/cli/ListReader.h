#pragma once

#include "tools/cli/Md5sumText.h"

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

// A checksum list, read a block at a time and parsed line by line as md5sum reads it: however
// long the list, only a block and a line are held.
class CListReader {
public:
    struct Line {
        std::size_t number = 0;
        std::optional<md5sum::ListedFile> file;  // nothing for a line that is improperly formatted
    };

    // A list on standard input may not name "-" itself.
    CListReader(std::FILE* stream, bool fromStandardInput);

    // The next line that is neither blank nor a comment; false at the end of the list, or where
    // it could not be read further (ReadFailed).
    bool Next(Line& line);
    bool ReadFailed() const { return m_readFailed; }

private:
    bool NextRawLine(std::string& line);

    std::FILE* m_stream;
    bool m_fromStandardInput;
    md5sum::CListParser m_parser;
    std::size_t m_number = 0;
    std::string m_block;   // read, not yet taken as lines
    std::size_t m_at = 0;  // where the next line starts in m_block
    std::string m_line;    // the last one taken: its room is used again for the next
    bool m_ended = false;
    bool m_readFailed = false;
};
