#include "md5/ChunkReader.h"

#include "platform/AlignedMemory.h"
#include "platform/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <exception>
#include <new>
#include <utility>

namespace {
// Page-aligned: the kernel's copy into a buffer a few bytes past a page boundary is several
// times slower on some CPUs, which showed as a fifth of a whole hashing run.
constexpr std::size_t kBufferAlignment = 4096;
}  // namespace

void CChunkReader::AlignedFree::operator()(unsigned char* buffer) const
{
    zanfo::FreeAligned(buffer);
}

CChunkReader::Buffer CChunkReader::AllocateBuffer(std::size_t size)
{
    void* memory = zanfo::AllocateAligned(size, kBufferAlignment);
    if (!memory)
        throw std::bad_alloc();
    return Buffer(static_cast<unsigned char*>(memory));
}

CChunkReader::CChunkReader(std::FILE* stream, Buffers& buffers, bool regularFile)
    : m_stream(stream)
    , m_buffers(buffers)
    , m_regularFile(regularFile)
{
    if (!m_buffers.current)
        m_buffers.current = AllocateBuffer(kChunkSize);
    m_inRead.reserve(2);  // the caller's thread and the helper: registering never allocates
}

CChunkReader::~CChunkReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    if (m_helper.joinable())
        m_helper.join();
    if (m_interrupter.joinable())
        m_interrupter.join();
}

CChunkReader::Chunk CChunkReader::ReadInto(unsigned char* buffer)
{
    const zanfo::ReadingThread self = zanfo::CurrentReadingThread();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_cancelled)
            return {buffer, 0, ECANCELED};
        m_inRead.push_back(self);
    }
    std::size_t count = 0;
    int error = 0;
    for (bool more = true; more && count < kChunkSize;) {
        const std::int64_t read = zanfo::ReadSome(m_stream, buffer + count, kChunkSize - count);
        error = read < 0 ? (errno != 0 ? errno : EIO) : 0;
        count += read > 0 ? static_cast<std::size_t>(read) : 0;
        // A pipe delivers what it has; a regular file is at its end when it delivers less.
        more = read > 0 && !m_regularFile;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_inRead.erase(std::find(m_inRead.begin(), m_inRead.end(), self));
    }
    m_changed.notify_all();
    return {buffer, count, error};
}

void CChunkReader::Cancel()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (std::exchange(m_cancelled, true) || m_inRead.empty())
        return;
    try {
        m_interrupter = std::thread(&CChunkReader::InterruptUntilNoRead, this);
    } catch (const std::exception&) {
        // No thread to repeat it: once, which is enough for a read already blocked.
        for (const zanfo::ReadingThread thread : m_inRead)
            zanfo::InterruptRead(thread);
    }
}

void CChunkReader::InterruptUntilNoRead()
{
    // A read may be about to begin, where an interrupt would be lost: again until none is left.
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_inRead.empty()) {
        for (const zanfo::ReadingThread thread : m_inRead)
            zanfo::InterruptRead(thread);
        m_changed.wait_for(lock, std::chrono::milliseconds(20));
    }
}

CChunkReader::Chunk CChunkReader::Next()
{
    if (!m_prefetchPending)
        return ReadInto(m_buffers.current.get());

    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_done; });
    m_done = false;
    m_prefetchPending = false;
    std::swap(m_buffers.current, m_buffers.spare);
    return m_prefetched;
}

void CChunkReader::PrefetchNext()
{
    if (m_readingAlone)
        return;
    try {
        if (!m_buffers.spare)
            m_buffers.spare = AllocateBuffer(kChunkSize);
        if (!m_helper.joinable())
            m_helper = std::thread(&CChunkReader::HelperLoop, this);
    } catch (const std::exception&) {
        // No second buffer or no thread to read with: Next reads each chunk itself, as asked.
        m_readingAlone = true;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requested = true;
    }
    m_prefetchPending = true;
    m_changed.notify_all();
}

void CChunkReader::HelperLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_requested || m_quit; });
        if (m_quit)
            return;
        m_requested = false;
        unsigned char* target = m_buffers.spare.get();
        lock.unlock();
        const Chunk chunk = ReadInto(target);
        lock.lock();
        m_prefetched = chunk;
        m_done = true;
        m_changed.notify_all();
    }
}
