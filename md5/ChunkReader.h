#pragma once

#include "platform/ReadInterrupt.h"

#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Reads a stream in chunks of 1 MiB. While the caller hashes one chunk, the next can be read
// on a helper thread into a second buffer, so a run costs the larger of reading and hashing
// rather than their sum. Only chunks the caller asks for are ever read.
class CChunkReader {
public:
    static constexpr std::size_t kChunkSize = 1048576;

    struct Chunk {
        const unsigned char* data;
        std::size_t size;  // below kChunkSize only at the end of the stream or on an error
        int readError;     // the errno of a failed read, else 0
    };

    struct AlignedFree {
        void operator()(unsigned char* buffer) const;
    };
    using Buffer = std::unique_ptr<unsigned char, AlignedFree>;
    // `size` bytes, page-aligned (the kernel copies into such a buffer fastest); bad_alloc when
    // there are none.
    static Buffer AllocateBuffer(std::size_t size);
    // The two chunk buffers, made when first needed: their owner may keep them for the next
    // reader, so that many small files cost no allocation each.
    struct Buffers {
        Buffer current, spare;
    };

    // For a regular file (`regularFile`) a short read is its end: no further read looks for it.
    CChunkReader(std::FILE* stream, Buffers& buffers, bool regularFile);
    ~CChunkReader();  // waits for a read in flight, so the stream may be closed afterwards
    CChunkReader(const CChunkReader&) = delete;
    CChunkReader& operator=(const CChunkReader&) = delete;

    // The next chunk: the prefetched one if PrefetchNext was called, else read now.
    // Its bytes stay valid until the call after the next PrefetchNext or Next.
    Chunk Next();

    // Starts reading the chunk after the current one on the helper thread; where the helper or
    // its buffer cannot be had, Next reads it when asked, on the caller's thread.
    void PrefetchNext();

    // From any thread: the read in flight, and every later one, fails (ECANCELED, or the
    // interrupted read's own error). A read that might never return ends with it.
    void Cancel();

private:
    Chunk ReadInto(unsigned char* buffer);
    void HelperLoop();
    void InterruptUntilNoRead();

    std::FILE* m_stream;
    Buffers& m_buffers;
    bool m_regularFile;
    Chunk m_prefetched{nullptr, 0, 0};
    bool m_prefetchPending = false;
    bool m_readingAlone = false;  // no read-ahead could be had

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_requested = false;
    bool m_done = false;
    bool m_quit = false;
    bool m_cancelled = false;
    std::vector<zanfo::ReadingThread> m_inRead;  // the threads in a read now
    std::thread m_helper;
    std::thread m_interrupter;  // after a Cancel, until no read is in flight
};
