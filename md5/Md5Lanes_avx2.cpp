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
    template <int S>
    static Vector Rotl(Vector v)
    {
        return _mm256_or_si256(_mm256_slli_epi32(v, S), _mm256_srli_epi32(v, 32 - S));
    }
    static Vector F(Vector b, Vector c, Vector d) { return _mm256_xor_si256(_mm256_and_si256(_mm256_xor_si256(c, d), b), d); }
    static Vector G(Vector b, Vector c, Vector d) { return _mm256_or_si256(_mm256_and_si256(b, d), _mm256_andnot_si256(d, c)); }
    static Vector H(Vector b, Vector c, Vector d) { return _mm256_xor_si256(_mm256_xor_si256(b, c), d); }
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
