#include "tools/cli/CliProgressEngine.h"

#include <utility>

namespace {
// Progress shows from the 16th MiB on: below that a file is done in a blink.
constexpr int kChunksBeforeProgress = 16;
constexpr const char* kEraseLine = "\r\x1b[K";
}  // namespace

CCliProgressEngine::CCliProgressEngine(std::ostream& progressOut, bool ansi)
    : m_progressOut(progressOut)
    , m_ansi(ansi)
{
    KeepBuffers(true);  // file after file, the same two buffers
}

void CCliProgressEngine::Erase()
{
    if (m_ansi)
        m_progressOut << kEraseLine;
    else if (m_lineLength != 0)
        m_progressOut << '\r' << std::string(m_lineLength, ' ') << '\r';
}

void CCliProgressEngine::BeginFile(std::string label)
{
    m_label = std::move(label);
    m_chunksSeen = 0;
    m_lineLength = 0;
}

void CCliProgressEngine::OnProgress(int percent)
{
    if (m_label.empty())
        return;
    if (++m_chunksSeen >= kChunksBeforeProgress) {
        const std::string line = m_label + ": " + std::to_string(percent) + '%';
        Erase();
        m_progressOut << line << std::flush;
        m_lineLength = line.size();
    }
}

void CCliProgressEngine::EndFile()
{
    if (m_lineLength != 0) {
        Erase();
        m_progressOut << std::flush;
    }
    m_lineLength = 0;
}
