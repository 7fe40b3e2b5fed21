#include "tools/cli/OrderedHasher.h"

#include "platform/FileAccess.h"

#include <cerrno>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// md5sum's words for the reason; only ENOENT counts as missing (--ignore-missing).
FileOutcome Failure(int error)
{
    return {std::string(), zanfo::ErrorText(error), error == ENOENT};
}

FileOutcome HashStream(CMd5Engine& engine, std::FILE* stream, bool upperCase)
{
    FileOutcome outcome;
    outcome.digest = engine.HashStream(stream, upperCase);
    if (outcome.digest.empty())
        return Failure(engine.LastFailure() == HashFailure::ReadError ? engine.LastError() : ENOMEM);
    return outcome;
}

}  // namespace

FileOutcome HashNamedFile(CMd5Engine& engine, const std::string& name, bool upperCase)
{
    if (name == "-")
        return HashStream(engine, zanfo::BinaryStandardInput(), upperCase);
    FileOutcome outcome;
    outcome.digest = engine.HashFile(name, upperCase);
    switch (engine.LastFailure()) {
    case HashFailure::None:
        return outcome;
    case HashFailure::NotFound:
    case HashFailure::PermissionDenied:
    case HashFailure::OpenFailed:
    case HashFailure::ReadError:
        return Failure(engine.LastError());
    case HashFailure::Changed:
        return {std::string(), "file changed as we read it", false};
    case HashFailure::Empty:
    case HashFailure::NotRegularFile: {
        std::FILE* stream = zanfo::OpenForReading(name);
        if (!stream)
            return Failure(errno);
        outcome = HashStream(engine, stream, upperCase);
        std::fclose(stream);
        return outcome;
    }
    case HashFailure::Stopped:
    case HashFailure::Unexpected:
        break;
    }
    return Failure(ENOMEM);
}

void COrderedHasher::Run(std::size_t count, unsigned jobs, CCliProgressEngine& engine, const Hash& hash, const Deliver& deliver)
{
    if (jobs <= 1 || count <= 1) {
        for (std::size_t item = 0; item < count; ++item)
            deliver(item, hash(engine, item));
        return;
    }
    const std::size_t window = 2 * static_cast<std::size_t>(jobs);
    std::mutex mutex;
    std::condition_variable changed;
    std::map<std::size_t, FileOutcome> waiting;
    std::size_t next = 0, delivered = 0;
    bool quit = false;

    const auto work = [&] {
        CCliProgressEngine own(engine.ProgressOut());
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return quit || next >= count || next < delivered + window; });
            if (quit || next >= count)
                return;
            const std::size_t item = next++;
            lock.unlock();
            FileOutcome outcome = hash(own, item);
            lock.lock();
            waiting.emplace(item, std::move(outcome));
            changed.notify_all();
        }
    };
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < jobs && i < count; ++i)
        workers.emplace_back(work);
    try {
        while (delivered < count) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return waiting.count(delivered) != 0; });
            const FileOutcome outcome = std::move(waiting[delivered]);
            waiting.erase(delivered);
            lock.unlock();
            deliver(delivered, outcome);
            lock.lock();
            ++delivered;
            changed.notify_all();
        }
    } catch (...) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        changed.notify_all();
        for (std::thread& worker : workers)
            worker.join();
        throw;
    }
    for (std::thread& worker : workers)
        worker.join();
}
