#include "md5/Md5Lanes.h"

#include "md5/Md5Engine.h"
#include "md5/Md5LaneKernel.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::uint32_t kInitial[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};

// The lane template over plain 32-bit words: one lane, for a message hashed alone.
struct Scalar {
    using Vector = std::uint32_t;
    static constexpr int kLanes = 1;
    static Vector Load(const std::uint32_t* from) { return *from; }
    static void Store(std::uint32_t* to, Vector v) { *to = v; }
    static Vector Set1(std::uint32_t value) { return value; }
    static Vector Add(Vector a, Vector b) { return a + b; }
    template <int S> static Vector Rotl(Vector v) { return v << S | v >> (32 - S); }
    static void LoadBlock(const unsigned char* const (&at)[kLanes], Vector (&x)[16]) { std::memcpy(x, at[0], 64); }
    static Vector F(Vector b, Vector c, Vector d) { return ((c ^ d) & b) ^ d; }
    // The halves of G share no bits, so + gives its value and lets the half without b, and in
    // H the c ^ d, be worked out before b is known: the chain from step to step is shorter.
    static Vector G(Vector b, Vector c, Vector d) { return (c & ~d) + (b & d); }
    static Vector H(Vector b, Vector c, Vector d) { return b ^ (c ^ d); }
    static Vector I(Vector b, Vector c, Vector d) { return c ^ (b | ~d); }
};

}  // namespace

CMd5Lanes::CMd5Lanes(const Kernel& kernel)
    : m_kernel(kernel)
    , m_states()
{
}

void CMd5Lanes::Start(int lane)
{
    for (int word = 0; word < 4; ++word)
        m_states[word * kMaxLanes + lane] = kInitial[word];
    m_lanes[lane].length = 0;  // the rest is set by each Feed
    const std::uint32_t bit = 1u << lane;
    m_hungry |= bit;
    m_running &= ~bit;
    m_inTail &= ~bit;
    m_done &= ~bit;
}

void CMd5Lanes::Feed(int lane, const unsigned char* data, std::size_t size, bool last)
{
    Lane& to = m_lanes[lane];
    to.length += size;
    to.data = data;
    to.blocks = size / 64;
    to.last = last;
    if (last) {
        // The rest of the bytes, the 0x80 marker, zeros and the length in bits: one or two blocks.
        const std::size_t rest = size % 64;
        std::memset(to.tail, 0, sizeof to.tail);
        if (rest != 0)
            std::memcpy(to.tail, data + size - rest, rest);
        to.tail[rest] = 0x80;
        to.tailBlocks = rest < 56 ? 1 : 2;
        const std::uint64_t bits = to.length * 8;
        for (int i = 0; i < 8; ++i)
            to.tail[to.tailBlocks * 64 - 8 + i] = static_cast<unsigned char>(bits >> (8 * i));
    }
    const std::uint32_t bit = 1u << lane;
    if (to.blocks == 0 && !last)
        return;  // still hungry
    m_hungry &= ~bit;
    m_running |= bit;
    if (to.blocks == 0)
        EnterTail(lane);
}

void CMd5Lanes::EnterTail(int lane)
{
    m_lanes[lane].data = m_lanes[lane].tail;
    m_lanes[lane].blocks = m_lanes[lane].tailBlocks;
    m_inTail |= 1u << lane;
}

void CMd5Lanes::Run(std::size_t mostBlocks)
{
    // Every lane with blocks goes as far as the one with the fewest: then that one wants more,
    // moves to its tail, or is done.
    const std::uint32_t active = m_running;
    if (active == 0)
        return;
    std::size_t blocks = mostBlocks;
    const unsigned char* data[kMaxLanes] = {};
    for (std::uint32_t rest = active; rest != 0; rest &= rest - 1) {
        const int lane = __builtin_ctz(rest);
        blocks = std::min(blocks, m_lanes[lane].blocks);
        data[lane] = m_lanes[lane].data;
    }
    if ((active & (active - 1)) == 0) {
        const int lane = __builtin_ctz(active);
        md5lanes::Compress<Scalar>(m_states + lane, data + lane, 1, blocks);
    } else {
        m_kernel.compress(m_states, data, active, blocks);
    }
    for (std::uint32_t rest = active; rest != 0; rest &= rest - 1) {
        const int lane = __builtin_ctz(rest);
        const std::uint32_t bit = 1u << lane;
        Lane& at = m_lanes[lane];
        at.data += 64 * blocks;
        at.blocks -= blocks;
        if (at.blocks != 0)
            continue;
        if (m_inTail & bit) {
            m_running &= ~bit, m_inTail &= ~bit, m_done |= bit;
        } else if (at.last) {
            EnterTail(lane);
        } else {
            m_running &= ~bit, m_hungry |= bit;
        }
    }
}

std::string CMd5Lanes::TakeDigest(int lane, bool upperCase)
{
    m_done &= ~(1u << lane);
    const std::uint32_t words[4] = {m_states[lane], m_states[kMaxLanes + lane], m_states[2 * kMaxLanes + lane],
                                    m_states[3 * kMaxLanes + lane]};
    return CMd5Engine::HexOf(words, upperCase);
}
