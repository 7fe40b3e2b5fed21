// Sixteen lanes with AVX-512F; this source alone is built with -mavx512f. Rotations and the
// three-input functions are one instruction each there.
#include "md5/Md5LaneKernel.h"

#include <immintrin.h>

namespace {

struct Avx512 {
    using Vector = __m512i;
    static constexpr int kLanes = 16;
    static Vector Load(const std::uint32_t* from) { return _mm512_load_si512(from); }
    static void Store(std::uint32_t* to, Vector v) { _mm512_store_si512(to, v); }
    static Vector Set1(std::uint32_t value) { return _mm512_set1_epi32(static_cast<int>(value)); }
    static Vector Add(Vector a, Vector b) { return _mm512_add_epi32(a, b); }
    template <int S> static Vector Rotl(Vector v) { return _mm512_rol_epi32(v, S); }
    // A 16 x 16 transposition: words interleaved by pairs of lanes, then by fours, within each
    // 128-bit quarter; then the quarters of four groups of lanes put together in two steps.
    static void LoadBlock(const unsigned char* const (&at)[kLanes], Vector (&x)[16])
    {
        Vector row[16], pairs[16], fours[16];
        for (int lane = 0; lane < 16; ++lane)
            row[lane] = _mm512_loadu_si512(at[lane]);
        for (int lane = 0; lane < 16; lane += 2) {
            pairs[lane] = _mm512_unpacklo_epi32(row[lane], row[lane + 1]);
            pairs[lane + 1] = _mm512_unpackhi_epi32(row[lane], row[lane + 1]);
        }
        // fours[4 * group + e]: lanes 4 * group .. + 3, word 4 * q + e in quarter q.
        for (int group = 0; group < 4; ++group) {
            const Vector* p = pairs + 4 * group;
            fours[4 * group] = _mm512_unpacklo_epi64(p[0], p[2]);
            fours[4 * group + 1] = _mm512_unpackhi_epi64(p[0], p[2]);
            fours[4 * group + 2] = _mm512_unpacklo_epi64(p[1], p[3]);
            fours[4 * group + 3] = _mm512_unpackhi_epi64(p[1], p[3]);
        }
        for (int e = 0; e < 4; ++e) {
            const Vector low01 = _mm512_shuffle_i32x4(fours[e], fours[4 + e], 0x44),
                         high01 = _mm512_shuffle_i32x4(fours[e], fours[4 + e], 0xEE);
            const Vector low23 = _mm512_shuffle_i32x4(fours[8 + e], fours[12 + e], 0x44);
            const Vector high23 = _mm512_shuffle_i32x4(fours[8 + e], fours[12 + e], 0xEE);
            x[e] = _mm512_shuffle_i32x4(low01, low23, 0x88);
            x[4 + e] = _mm512_shuffle_i32x4(low01, low23, 0xDD);
            x[8 + e] = _mm512_shuffle_i32x4(high01, high23, 0x88);
            x[12 + e] = _mm512_shuffle_i32x4(high01, high23, 0xDD);
        }
    }
    // The truth tables of (b & c) | (~b & d), (b & d) | (c & ~d), b ^ c ^ d and c ^ (b | ~d).
    static Vector F(Vector b, Vector c, Vector d) { return _mm512_ternarylogic_epi32(b, c, d, 0xCA); }
    static Vector G(Vector b, Vector c, Vector d) { return _mm512_ternarylogic_epi32(b, c, d, 0xE4); }
    static Vector H(Vector b, Vector c, Vector d) { return _mm512_ternarylogic_epi32(b, c, d, 0x96); }
    static Vector I(Vector b, Vector c, Vector d) { return _mm512_ternarylogic_epi32(b, c, d, 0x39); }
};

}  // namespace

CMd5Lanes::Kernel Md5LanesAvx512()
{
    return {"AVX-512", Avx512::kLanes, &md5lanes::Compress<Avx512>};
}
