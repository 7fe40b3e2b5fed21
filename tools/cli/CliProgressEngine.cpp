#include "CliProgressEngine.h"

#include <utility>

namespace {
// Progress shows from the 16th MiB on: below that a file is done in a blink.
constexpr int kChunksBeforeProgress = 16;
constexpr const char* kEraseLine = "\r\x1b[K";
}  // namespace

CCliProgressEngine::CCliProgressEngine(std::ostream& progressOut)
    : m_progressOut(progressOut)
{
}

void CCliProgressEngine::BeginFile(std::string label)
{
    m_label = std::move(label);
    m_chunksSeen = 0;
    m_lineDrawn = false;
}

void CCliProgressEngine::OnProgress(int percent)
{
    if (m_label.empty())
        return;
    if (++m_chunksSeen >= kChunksBeforeProgress) {
        m_progressOut << kEraseLine << m_label << ": " << percent << '%' << std::flush;
        m_lineDrawn = true;
    }
}

void CCliProgressEngine::EndFile()
{
    if (m_lineDrawn)
        m_progressOut << kEraseLine << std::flush;
    m_lineDrawn = false;
}
