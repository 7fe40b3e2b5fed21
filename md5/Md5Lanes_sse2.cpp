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
    template <int S>
    static Vector Rotl(Vector v)
    {
        return _mm_or_si128(_mm_slli_epi32(v, S), _mm_srli_epi32(v, 32 - S));
    }
    static Vector F(Vector b, Vector c, Vector d) { return _mm_xor_si128(_mm_and_si128(_mm_xor_si128(c, d), b), d); }
    static Vector G(Vector b, Vector c, Vector d) { return _mm_or_si128(_mm_and_si128(b, d), _mm_andnot_si128(d, c)); }
    static Vector H(Vector b, Vector c, Vector d) { return _mm_xor_si128(_mm_xor_si128(b, c), d); }
    static Vector I(Vector b, Vector c, Vector d) { return _mm_xor_si128(c, _mm_or_si128(b, _mm_xor_si128(d, _mm_set1_epi32(-1)))); }
};

}  // namespace

CMd5Lanes::Kernel Md5LanesSse2()
{
    return {"SSE2", Sse2::kLanes, &md5lanes::Compress<Sse2>};
}
