#pragma once

#include "md5/ChunkReader.h"
#include "md5/Md5Engine.h"
#include "md5/Md5Lanes.h"
#include "platform/FileAccess.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Hashes regular files in the lanes of one CMd5Lanes, on the calling thread, while a helper
// thread reads ahead: as a lane hashes one slab of its file, the next is read into its other.
// A file's first slab is read at once when it starts, so a small file costs no hand-over at
// all; where no helper thread can be had, every slab is read so. Memory: two slabs per lane,
// in one block made with the first file.
class CLaneFileHasher {
public:
    static constexpr std::size_t kSlabSize = 128 * 1024;

    // What became of one file; `tag` is what the caller started it with.
    struct Finished {
        void* tag;
        std::string digest;                       // empty on a failure
        HashFailure failure = HashFailure::None;  // ReadError or Changed
        int error = 0;                            // the read's errno for ReadError
    };

    CLaneFileHasher(const CMd5Lanes::Kernel& kernel, bool upperCase);
    ~CLaneFileHasher();
    CLaneFileHasher(const CLaneFileHasher&) = delete;
    CLaneFileHasher& operator=(const CLaneFileHasher&) = delete;

    int FreeLanes() const;
    bool Busy() const { return m_busy != 0; }  // some lane has a file

    // Takes a regular file of `size` bytes (at least one), open by its handle (threads opening
    // stdio streams at once queue for stdio's lock), into a free lane, and closes it when done.
    // Its bytes are checked against the size as the engine checks them: more or fewer, and the
    // file changed as it was read. A file whose first read fails is in `finished` on return. On
    // an exception (no memory) the file stays the caller's.
    void Start(void* tag, zanfo::FileHandle file, std::uint64_t size, std::vector<Finished>& finished);

    // Hashes until at least one file is finished and a quarter of the lanes are free, or none is
    // left.
    void Step(std::vector<Finished>& finished);

private:
    struct Read {
        std::int64_t count = 0;
        int error = 0;
    };
    static Read ReadSlab(zanfo::FileHandle file, unsigned char* slab);
    struct LaneFile {
        void* tag = nullptr;
        zanfo::FileHandle handle = zanfo::kNoFile;
        std::uint64_t size = 0;
        std::uint64_t read = 0;        // bytes read so far
        unsigned char* slabs[2] = {};  // in m_slabs
        int hashing = 0;               // the slab the lane was last fed; the next read goes into the other
        bool readDone = false;         // by the helper, with its result here
        Read result;
    };

    // Takes a finished read of the lane's file: feeds it, or ends the file with its failure.
    void TakeRead(int lane, const Read& result, std::vector<Finished>& finished);
    void Finish(int lane, Finished outcome, std::vector<Finished>& finished);
    void RequestRead(int lane);
    void HelperLoop();

    CMd5Lanes m_lanes;
    bool m_upperCase;
    std::vector<LaneFile> m_files;  // one per lane
    std::uint32_t m_busy = 0;       // the lanes with a file, bit i for lane i; the others are free
    CChunkReader::Buffer m_slabs;   // made with the first file

    std::mutex m_mutex;
    std::condition_variable m_requested;
    std::condition_variable m_readDone;
    std::deque<int> m_queue;  // lanes whose read is wanted, in order
    bool m_quit = false;
    std::thread m_helper;         // started with the first read ahead
    bool m_readingAlone = false;  // it could not be
};
