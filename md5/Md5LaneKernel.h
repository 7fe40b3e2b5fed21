#pragma once

// The MD5 compression over the lanes of a vector, written once: each instruction set's source
// (Md5Lanes_sse2.cpp, _avx2.cpp, _avx512.cpp), built with its own compiler flags, instantiates
// it with a type that gives lane-wise 32-bit additions, logic and rotations, and that loads one
// block of every lane as sixteen vectors, word k of every lane side by side in vector k (x86 is
// little-endian, as MD5's words are): a transposition in registers.
#include "md5/Md5Lanes.h"

#include <utility>

namespace md5lanes {

// RFC 1321's steps: which message word, how far to rotate, what to add.
constexpr int kWord[64] = {0,  1,  2,  3,  4, 5, 6,  7, 8,  9,  10, 11, 12, 13, 14, 15, 1, 6,  11, 0, 5, 10,
                           15, 4,  9,  14, 3, 8, 13, 2, 7,  12, 5,  8,  11, 14, 1,  4,  7, 10, 13, 0, 3, 6,
                           9,  12, 15, 2,  0, 7, 14, 5, 12, 3,  10, 1,  8,  15, 6,  13, 4, 11, 2,  9};
constexpr int kShift[64] = {7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
                            14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
                            4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};
constexpr std::uint32_t kAdded[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501, 0x698098d8, 0x8b44f7af, 0xffff5bb1,
    0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821, 0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453,
    0xd8a1e681, 0xe7d3fbc8, 0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a, 0xfffa3942,
    0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70, 0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05,
    0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665, 0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d,
    0x85845dd1, 0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

// Step i: a = b + ((a + f(b, c, d) + x[word] + added) <<< shift), the four words taking the roles
// a, b, c, d in turn.
template <class Ops, int Step> inline void DoStep(typename Ops::Vector (&v)[4], const typename Ops::Vector (&x)[16])
{
    using V = typename Ops::Vector;
    constexpr int a = (64 - Step) % 4, b = (a + 1) % 4, c = (a + 2) % 4, d = (a + 3) % 4;
    V f;
    if constexpr (Step < 16)
        f = Ops::F(v[b], v[c], v[d]);
    else if constexpr (Step < 32)
        f = Ops::G(v[b], v[c], v[d]);
    else if constexpr (Step < 48)
        f = Ops::H(v[b], v[c], v[d]);
    else
        f = Ops::I(v[b], v[c], v[d]);
    const V sum = Ops::Add(Ops::Add(v[a], Ops::Add(x[kWord[Step]], Ops::Set1(kAdded[Step]))), f);
    v[a] = Ops::Add(v[b], Ops::template Rotl<kShift[Step]>(sum));
}

template <class Ops, int... Steps>
inline void DoSteps(typename Ops::Vector (&v)[4], const typename Ops::Vector (&x)[16], std::integer_sequence<int, Steps...>)
{
    (DoStep<Ops, Steps>(v, x), ...);
}

template <class Ops> void Compress(std::uint32_t* states, const unsigned char* const* data, std::uint32_t active, std::size_t blocks)
{
    using V = typename Ops::Vector;
    constexpr int kLanes = Ops::kLanes;
    static const unsigned char kIdle[64] = {};  // what a lane with no message reads
    V v[4];
    for (int word = 0; word < 4; ++word)
        v[word] = Ops::Load(states + word * CMd5Lanes::kMaxLanes);
    const unsigned char* at[kLanes];
    for (int lane = 0; lane < kLanes; ++lane)
        at[lane] = (active >> lane & 1) ? data[lane] : kIdle;
    for (std::size_t block = 0; block < blocks; ++block) {
        V x[16];
        Ops::LoadBlock(at, x);
        for (int lane = 0; lane < kLanes; ++lane)
            at[lane] += (active >> lane & 1) ? 64 : 0;
        const V before[4] = {v[0], v[1], v[2], v[3]};
        DoSteps<Ops>(v, x, std::make_integer_sequence<int, 64>());
        for (int word = 0; word < 4; ++word)
            v[word] = Ops::Add(v[word], before[word]);
    }
    // Only the lanes at work keep what was computed.
    alignas(64) std::uint32_t computed[kLanes];
    for (int word = 0; word < 4; ++word) {
        Ops::Store(computed, v[word]);
        for (int lane = 0; lane < kLanes; ++lane)
            if (active >> lane & 1)
                states[word * CMd5Lanes::kMaxLanes + lane] = computed[lane];
    }
}

}  // namespace md5lanes
