// Four lanes with SSE2, which every x86-64 has.
#include "md5/Md5LaneKernel.h"

#include <emmintrin.h>

namespace {

struct Sse2 {
    using Vector = __m128i;
    static constexpr int kLanes = 4;
    static Vector Load(const std::uint32_t* from) { return _mm_load_si128(reinterpret_cast<const __m128i*>(from)); }
    static void Store(std::uint32_t* to, Vector v) { _mm_store_si128(reinterpret_cast<__m128i*>(to), v); }
    static Vector Set1(std::uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }
    static Vector Add(Vector a, Vector b) { return _mm_add_epi32(a, b); }
    template <int S> static Vector Rotl(Vector v) { return _mm_or_si128(_mm_slli_epi32(v, S), _mm_srli_epi32(v, 32 - S)); }
    static void LoadBlock(const unsigned char* const (&at)[kLanes], Vector (&x)[16])
    {
        for (int quarter = 0; quarter < 4; ++quarter) {
            Vector row[4];
            for (int lane = 0; lane < 4; ++lane)
                row[lane] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at[lane] + 16 * quarter));
            const Vector pairs01 = _mm_unpacklo_epi32(row[0], row[1]), pairs23 = _mm_unpacklo_epi32(row[2], row[3]);
            const Vector highs01 = _mm_unpackhi_epi32(row[0], row[1]), highs23 = _mm_unpackhi_epi32(row[2], row[3]);
            x[4 * quarter] = _mm_unpacklo_epi64(pairs01, pairs23);
            x[4 * quarter + 1] = _mm_unpackhi_epi64(pairs01, pairs23);
            x[4 * quarter + 2] = _mm_unpacklo_epi64(highs01, highs23);
            x[4 * quarter + 3] = _mm_unpackhi_epi64(highs01, highs23);
        }
    }
    static Vector F(Vector b, Vector c, Vector d) { return _mm_xor_si128(_mm_and_si128(_mm_xor_si128(c, d), b), d); }
    // As in the scalar steps: G's halves added, so that the half without b comes first.
    static Vector G(Vector b, Vector c, Vector d) { return _mm_add_epi32(_mm_andnot_si128(d, c), _mm_and_si128(b, d)); }
    static Vector H(Vector b, Vector c, Vector d) { return _mm_xor_si128(b, _mm_xor_si128(c, d)); }
    static Vector I(Vector b, Vector c, Vector d) { return _mm_xor_si128(c, _mm_or_si128(b, _mm_xor_si128(d, _mm_set1_epi32(-1)))); }
};

}  // namespace

CMd5Lanes::Kernel Md5LanesSse2()
{
    return {"SSE2", Sse2::kLanes, &md5lanes::Compress<Sse2>};
}
