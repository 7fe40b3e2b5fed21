#include "tools/cli/ListReader.h"

#include <algorithm>

CListReader::CListReader(std::FILE* stream, bool fromStandardInput)
    : m_stream(stream)
    , m_fromStandardInput(fromStandardInput)
{
}

bool CListReader::NextRawLine(std::string& line)
{
    std::size_t end;
    while ((end = m_block.find('\n', m_at)) == std::string::npos && !m_ended) {
        m_block.erase(0, m_at);
        m_at = 0;
        char buffer[65536];
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, m_stream);
        m_block.append(buffer, count);
        m_ended = count < sizeof buffer;
        m_readFailed = std::ferror(m_stream) != 0;
    }
    if (m_at == m_block.size() && end == std::string::npos)
        return false;
    end = std::min(end, m_block.size());
    line.assign(m_block, m_at, end - m_at);
    m_at = std::min(end + 1, m_block.size());
    return true;
}

bool CListReader::Next(Line& next)
{
    std::string& line = m_line;
    while (NextRawLine(line)) {
        ++m_number;
        // As md5sum reads a line: a carriage return before its end goes, an empty line is blank,
        // and a NUL ends the text that is parsed.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        line.resize(std::min(line.size(), line.find('\0')));
        next.number = m_number;
        next.file = m_parser.Parse(line);
        if (next.file && m_fromStandardInput && next.file->name == "-")
            next.file.reset();
        return true;
    }
    return false;
}
