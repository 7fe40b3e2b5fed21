#include "tools/cli/OrderedHasher.h"

#include "platform/FileAccess.h"
#include "tools/cli/Md5sumText.h"

#include <cerrno>
#include <memory>

namespace {

// md5sum's words for the reason; only ENOENT counts as missing (--ignore-missing).
FileOutcome Failure(int error)
{
    return {std::string(), zanfo::ErrorText(error), error == ENOENT};
}

FileOutcome OutcomeOf(std::string&& digest, HashFailure failure, int error)
{
    switch (failure) {
    case HashFailure::None:
        return {std::move(digest), std::string(), false};
    case HashFailure::ReadError:
        return Failure(error);
    case HashFailure::Changed:
        return {std::string(), "file changed as we read it", false};
    default:
        return Failure(ENOMEM);
    }
}

FileOutcome HashStream(CMd5Engine& engine, std::FILE* stream, std::optional<std::uint64_t> regularFileSize, bool upperCase)
{
    std::string digest = engine.HashStream(stream, regularFileSize, upperCase);
    return OutcomeOf(std::move(digest), engine.LastFailure(), engine.LastError());
}

// Opened as md5sum opens it (a FIFO waits for its writer). A regular file's size is checked as
// it is read; anything else, and a file of size 0 (as in /proc), is read to its end. A regular
// file with a size goes to `lanes` when there are some.
std::optional<FileOutcome> HashNamed(CMd5Engine& engine, const std::string& name, bool upperCase, CLaneFileHasher* lanes, void* tag,
                                     std::vector<CLaneFileHasher::Finished>* finished)
{
    if (name == "-")
        return HashStream(engine, zanfo::BinaryStandardInput(), std::nullopt, upperCase);
    const zanfo::OpenedHandle opened = zanfo::OpenHandleForReading(name);
    if (opened.handle == zanfo::kNoFile)
        return Failure(opened.error);
    const bool sized = opened.failure == zanfo::OpenFailure::None && opened.size > 0;
    if (sized && lanes) {
        try {
            lanes->Start(tag, opened.handle, opened.size, *finished);
        } catch (...) {
            zanfo::CloseFileHandle(opened.handle);
            throw;
        }
        return std::nullopt;
    }
    std::FILE* stream = zanfo::StreamOfHandle(opened.handle);
    if (!stream)
        return Failure(EMFILE);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(stream, &std::fclose);
    return HashStream(engine, stream, sized ? std::optional<std::uint64_t>(opened.size) : std::nullopt, upperCase);
}

}  // namespace

FileOutcome HashNamedFile(CCliProgressEngine& engine, const std::string& name, bool upperCase, bool showProgress)
{
    engine.BeginFile(showProgress ? md5sum::QuoteForTerminal(name) : std::string());
    FileOutcome outcome = *HashNamed(engine, name, upperCase, nullptr, nullptr, nullptr);
    engine.EndFile();
    return outcome;
}

std::optional<FileOutcome> HashNamedFileInLane(CLaneFileHasher& lanes, void* tag, CMd5Engine& engine, const std::string& name,
                                               bool upperCase, std::vector<CLaneFileHasher::Finished>& finished)
{
    return HashNamed(engine, name, upperCase, &lanes, tag, &finished);
}

FileOutcome OutcomeOf(CLaneFileHasher::Finished&& finished)
{
    return OutcomeOf(std::move(finished.digest), finished.failure, finished.error);
}
