#include "tools/cli/OrderedHasher.h"

#include "platform/FileAccess.h"

#include <cerrno>

namespace {

// md5sum's words for the reason; only ENOENT counts as missing (--ignore-missing).
FileOutcome Failure(int error)
{
    return {std::string(), zanfo::ErrorText(error), error == ENOENT};
}

FileOutcome HashStream(CMd5Engine& engine, std::FILE* stream, std::optional<std::uint64_t> regularFileSize, bool upperCase)
{
    FileOutcome outcome;
    outcome.digest = engine.HashStream(stream, regularFileSize, upperCase);
    switch (engine.LastFailure()) {
    case HashFailure::None:
        return outcome;
    case HashFailure::ReadError:
        return Failure(engine.LastError());
    case HashFailure::Changed:
        return {std::string(), "file changed as we read it", false};
    default:
        return Failure(ENOMEM);
    }
}

}  // namespace

FileOutcome HashNamedFile(CMd5Engine& engine, const std::string& name, bool upperCase)
{
    if (name == "-")
        return HashStream(engine, zanfo::BinaryStandardInput(), std::nullopt, upperCase);
    // Opened as md5sum opens it (a FIFO waits for its writer). A regular file's size is checked
    // as it is read; anything else, and a file of size 0 (as in /proc), is read to its end.
    const zanfo::OpenedFile opened = zanfo::OpenForReading(name);
    if (!opened.stream)
        return Failure(opened.error);
    const bool sized = opened.failure == zanfo::OpenFailure::None && opened.size > 0;
    FileOutcome outcome = HashStream(engine, opened.stream, sized ? std::optional<std::uint64_t>(opened.size) : std::nullopt, upperCase);
    std::fclose(opened.stream);
    return outcome;
}
