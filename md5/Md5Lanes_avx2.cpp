// Eight lanes with AVX2; this source alone is built with -mavx2.
#include "md5/Md5LaneKernel.h"

#include <immintrin.h>

namespace {

struct Avx2 {
    using Vector = __m256i;
    static constexpr int kLanes = 8;
    static Vector Load(const std::uint32_t* from) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(from)); }
    static void Store(std::uint32_t* to, Vector v) { _mm256_store_si256(reinterpret_cast<__m256i*>(to), v); }
    static Vector Set1(std::uint32_t value) { return _mm256_set1_epi32(static_cast<int>(value)); }
    static Vector Add(Vector a, Vector b) { return _mm256_add_epi32(a, b); }
    template <int S> static Vector Rotl(Vector v) { return _mm256_or_si256(_mm256_slli_epi32(v, S), _mm256_srli_epi32(v, 32 - S)); }
    // Per half block, an 8 x 8 transposition: words interleaved by pairs of lanes, then by
    // fours, within each 128-bit half; then the halves put together.
    static void LoadBlock(const unsigned char* const (&at)[kLanes], Vector (&x)[16])
    {
        for (int half = 0; half < 2; ++half) {
            Vector row[8], pairs[8], fours[8];
            for (int lane = 0; lane < 8; ++lane)
                row[lane] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at[lane] + 32 * half));
            for (int lane = 0; lane < 8; lane += 2) {
                pairs[lane] = _mm256_unpacklo_epi32(row[lane], row[lane + 1]);
                pairs[lane + 1] = _mm256_unpackhi_epi32(row[lane], row[lane + 1]);
            }
            // fours[4 * group + e]: lanes 4 * group .. + 3, word 4 * q + e in 128-bit half q.
            for (int group = 0; group < 2; ++group) {
                const Vector* p = pairs + 4 * group;
                fours[4 * group] = _mm256_unpacklo_epi64(p[0], p[2]);
                fours[4 * group + 1] = _mm256_unpackhi_epi64(p[0], p[2]);
                fours[4 * group + 2] = _mm256_unpacklo_epi64(p[1], p[3]);
                fours[4 * group + 3] = _mm256_unpackhi_epi64(p[1], p[3]);
            }
            for (int e = 0; e < 4; ++e) {
                x[8 * half + e] = _mm256_permute2x128_si256(fours[e], fours[4 + e], 0x20);
                x[8 * half + 4 + e] = _mm256_permute2x128_si256(fours[e], fours[4 + e], 0x31);
            }
        }
    }
    static Vector F(Vector b, Vector c, Vector d) { return _mm256_xor_si256(_mm256_and_si256(_mm256_xor_si256(c, d), b), d); }
    // As in the scalar steps: G's halves added, so that the half without b comes first.
    static Vector G(Vector b, Vector c, Vector d) { return _mm256_add_epi32(_mm256_andnot_si256(d, c), _mm256_and_si256(b, d)); }
    static Vector H(Vector b, Vector c, Vector d) { return _mm256_xor_si256(b, _mm256_xor_si256(c, d)); }
    static Vector I(Vector b, Vector c, Vector d)
    {
        return _mm256_xor_si256(c, _mm256_or_si256(b, _mm256_xor_si256(d, _mm256_set1_epi32(-1))));
    }
};

}  // namespace

CMd5Lanes::Kernel Md5LanesAvx2()
{
    return {"AVX2", Avx2::kLanes, &md5lanes::Compress<Avx2>};
}
