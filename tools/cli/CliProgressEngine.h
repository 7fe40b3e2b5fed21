#pragma once

#include "md5/Md5Engine.h"

#include <ostream>
#include <string>

// The engine as the command line uses it: progress, when wanted, is one line on a terminal
// that is rewritten in place. Small files finish before it would be worth drawing.
class CCliProgressEngine : public CMd5Engine {
public:
    // `ansi`: the terminal understands "erase line"; otherwise the line is blanked with spaces.
    explicit CCliProgressEngine(std::ostream& progressOut, bool ansi = true);

    // Shows progress for the next run under this label; an empty label shows none.
    void BeginFile(std::string label);
    std::ostream& ProgressOut() const { return m_progressOut; }
    // Wipes the progress line, if one was drawn, so the next output starts on a clean line.
    void EndFile();

protected:
    void OnProgress(int percent) override;

private:
    void Erase();

    std::ostream& m_progressOut;
    std::string m_label;
    bool m_ansi;
    int m_chunksSeen = 0;
    std::size_t m_lineLength = 0;  // of the line drawn, 0 when none
};
