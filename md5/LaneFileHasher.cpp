#include "md5/LaneFileHasher.h"

#include "platform/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

namespace {

// While a lane waits for its read, the others go on in short runs, so that it soon rejoins them.
constexpr std::size_t kBlocksWhileOneWaits = 64;

}  // namespace

CLaneFileHasher::CLaneFileHasher(const CMd5Lanes::Kernel& kernel, bool upperCase)
    : m_lanes(kernel)
    , m_upperCase(upperCase)
    , m_files(static_cast<std::size_t>(kernel.lanes))
{
}

CLaneFileHasher::~CLaneFileHasher()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_requested.notify_all();
    if (m_helper.joinable())
        m_helper.join();
    for (std::uint32_t rest = m_busy; rest != 0; rest &= rest - 1)
        zanfo::CloseFileHandle(m_files[static_cast<std::size_t>(__builtin_ctz(rest))].handle);
}

int CLaneFileHasher::FreeLanes() const
{
    return m_lanes.Lanes() - __builtin_popcount(m_busy);
}

// One read of a slab; a regular file is at its end when it delivers less.
CLaneFileHasher::Read CLaneFileHasher::ReadSlab(zanfo::FileHandle file, unsigned char* slab)
{
    const std::int64_t count = zanfo::ReadHandle(file, slab, CLaneFileHasher::kSlabSize);
    return {count, count < 0 ? (errno != 0 ? errno : EIO) : 0};
}

void CLaneFileHasher::Start(void* tag, zanfo::FileHandle handle, std::uint64_t size, std::vector<Finished>& finished)
{
    const int lane = __builtin_ctz(~m_busy);
    LaneFile& file = m_files[static_cast<std::size_t>(lane)];
    if (!m_slabs) {
        // All lanes' slabs in one block: one mapping to make and unmap, not two per lane.
        m_slabs = CChunkReader::AllocateBuffer(2 * kSlabSize * m_files.size());
        for (std::size_t at = 0; at < 2 * m_files.size(); ++at)
            m_files[at / 2].slabs[at % 2] = m_slabs.get() + at * kSlabSize;
    }
    file.tag = tag;
    file.handle = handle;
    file.size = size;
    file.read = 0;
    file.hashing = 1;  // the first read goes into slab 0, on this thread
    m_lanes.Start(lane);
    m_busy |= 1u << lane;
    try {
        TakeRead(lane, ReadSlab(handle, file.slabs[0]), finished);
    } catch (...) {
        m_busy &= ~(1u << lane);  // open still (Finish closes last): the caller's again
        throw;
    }
}

void CLaneFileHasher::TakeRead(int lane, const Read& result, std::vector<Finished>& finished)
{
    LaneFile& file = m_files[static_cast<std::size_t>(lane)];
    file.readDone = false;
    if (result.count < 0)
        return Finish(lane, {file.tag, std::string(), HashFailure::ReadError, result.error}, finished);
    file.read += static_cast<std::uint64_t>(result.count);
    const bool last = static_cast<std::size_t>(result.count) < kSlabSize;
    // The engine's rule: a regular file that ends before or after its size changed as it was read.
    if (file.read > file.size || (last && file.read != file.size))
        return Finish(lane, {file.tag, std::string(), HashFailure::Changed, 0}, finished);
    file.hashing = 1 - file.hashing;
    m_lanes.Feed(lane, file.slabs[file.hashing], static_cast<std::size_t>(result.count), last);
    if (!last)
        RequestRead(lane);
}

void CLaneFileHasher::Finish(int lane, Finished outcome, std::vector<Finished>& finished)
{
    LaneFile& file = m_files[static_cast<std::size_t>(lane)];
    finished.push_back(std::move(outcome));  // first: should it throw, the file is still the lane's
    zanfo::CloseFileHandle(file.handle);
    m_busy &= ~(1u << lane);
}

void CLaneFileHasher::RequestRead(int lane)
{
    if (!m_helper.joinable() && !m_readingAlone) {
        try {
            m_helper = std::thread(&CLaneFileHasher::HelperLoop, this);
        } catch (const std::system_error&) {
            m_readingAlone = true;  // no thread to be had: each read is made as it is asked for
        }
    }
    if (m_readingAlone) {
        LaneFile& file = m_files[static_cast<std::size_t>(lane)];
        file.result = ReadSlab(file.handle, file.slabs[1 - file.hashing]);
        file.readDone = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(lane);
    }
    m_requested.notify_one();
}

void CLaneFileHasher::HelperLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_requested.wait(lock, [&] { return m_quit || !m_queue.empty(); });
        if (m_quit)
            return;
        const int lane = m_queue.front();
        m_queue.pop_front();
        LaneFile& file = m_files[static_cast<std::size_t>(lane)];
        // The lane's file and its other slab are the helper's until readDone is set.
        const zanfo::FileHandle handle = file.handle;
        unsigned char* slab = file.slabs[1 - file.hashing];
        lock.unlock();
        const Read result = ReadSlab(handle, slab);
        lock.lock();
        file.result = result;
        file.readDone = true;
        m_readDone.notify_one();
    }
}

void CLaneFileHasher::Step(std::vector<Finished>& finished)
{
    // At least one file, and on till a quarter of the lanes are free: for small files, one
    // hand-over of jobs per several files.
    const std::size_t finishedBefore = finished.size();
    const int enoughFree = std::max(1, m_lanes.Lanes() / 4);
    while (Busy() && (finished.size() == finishedBefore || FreeLanes() < enoughFree)) {
        // The reads that are there, for the lanes that want them.
        const std::uint32_t hungry = m_lanes.HungryLanes() & m_busy;
        std::vector<std::pair<int, Read>> arrived;
        bool waiting = false;
        if (hungry != 0) {
            std::unique_lock<std::mutex> lock(m_mutex);
            const auto collect = [&] {
                waiting = false;
                for (std::uint32_t rest = hungry; rest != 0; rest &= rest - 1) {
                    const int lane = __builtin_ctz(rest);
                    const LaneFile& file = m_files[static_cast<std::size_t>(lane)];
                    if (file.readDone)
                        arrived.emplace_back(lane, file.result);
                    else
                        waiting = true;
                }
                return !arrived.empty();
            };
            if (!collect() && !m_lanes.Runnable())
                m_readDone.wait(lock, collect);
        }
        for (const auto& [lane, result] : arrived)
            TakeRead(lane, result, finished);
        m_lanes.Run(waiting ? kBlocksWhileOneWaits : SIZE_MAX);
        for (std::uint32_t rest = m_lanes.DoneLanes() & m_busy; rest != 0; rest &= rest - 1) {
            const int lane = __builtin_ctz(rest);
            Finish(lane, {m_files[static_cast<std::size_t>(lane)].tag, m_lanes.TakeDigest(lane, m_upperCase)}, finished);
        }
    }
}
