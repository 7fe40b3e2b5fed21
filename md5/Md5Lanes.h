#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// MD5 of several independent messages at once, one per lane of the vector unit: 4 lanes with
// SSE2, 8 with AVX2, 16 with AVX-512, whichever the processor has when the program runs. One
// message cannot go faster than its chain of dependent steps allows; several side by side can.
// Each message has its own length, padding and digest; a lane that finishes takes the next
// message while the others go on, and a lane with none is left out of the work.
class CMd5Lanes {
public:
    static constexpr int kMaxLanes = 16;

    // Compresses `blocks` consecutive 64-byte blocks into the state of each lane whose bit is set
    // in `active`; lane i's blocks start at data[i]. The states are interleaved: word w (A, B, C,
    // D) of lane i at states[w * kMaxLanes + i]. The other lanes' states stay as they are.
    using Compress = void (*)(std::uint32_t* states, const unsigned char* const* data, std::uint32_t active, std::size_t blocks);
    struct Kernel {
        const char* name;
        int lanes;
        Compress compress;
    };
    // The kernels this build has and this processor runs, widest first. None off x86-64, where
    // the scalar core alone hashes.
    static std::vector<Kernel> AvailableKernels();

    explicit CMd5Lanes(const Kernel& kernel);
    int Lanes() const { return m_kernel.lanes; }

    // A new message in a free lane.
    void Start(int lane);
    // The lane's next bytes, which must stay where they are until the lane wants more. A size
    // that is no multiple of 64 is allowed only with `last`, which ends the message; the padding
    // and length are then the lane's own business.
    void Feed(int lane, const unsigned char* data, std::size_t size, bool last);
    // Hashes in every lane that has bytes until one of them has used up its bytes, or for at
    // most `mostBlocks` blocks. A lane alone goes through the scalar steps, which are faster for
    // one message than a vector's lane.
    void Run(std::size_t mostBlocks = SIZE_MAX);
    // Some lane has bytes to hash.
    bool Runnable() const { return m_running != 0; }

    // The lane has used up what it was fed, and its message goes on: it wants more.
    bool Hungry(int lane) const { return m_hungry >> lane & 1; }
    // The lane's message is hashed: its digest, after which the lane is free.
    bool Done(int lane) const { return m_done >> lane & 1; }
    std::string TakeDigest(int lane, bool upperCase);
    bool Free(int lane) const { return !((m_hungry | m_running | m_done) >> lane & 1); }
    // The same as masks, bit i for lane i, to visit only the lanes concerned.
    std::uint32_t HungryLanes() const { return m_hungry; }
    std::uint32_t DoneLanes() const { return m_done; }

private:
    struct Lane {
        const unsigned char* data = nullptr;  // the next block to hash
        std::size_t blocks = 0;               // left in the current stretch
        std::uint64_t length = 0;             // of the message so far
        bool last = false;
        alignas(64) unsigned char tail[128];  // the last bytes, the padding and the length
        std::size_t tailBlocks = 0;
    };

    Kernel m_kernel;
    alignas(64) std::uint32_t m_states[4 * kMaxLanes];
    Lane m_lanes[kMaxLanes];
    // Moves the lane on from its data to its tail.
    void EnterTail(int lane);

    // Each lane's stage as a bit in one mask: free (none set), waiting for bytes (hungry),
    // hashing its bytes (running) or its tail (and inTail), or done.
    std::uint32_t m_hungry = 0;
    std::uint32_t m_running = 0;
    std::uint32_t m_inTail = 0;
    std::uint32_t m_done = 0;
};
