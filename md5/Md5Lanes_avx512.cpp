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
    template <int S>
    static Vector Rotl(Vector v)
    {
        // The masked form with every lane set is the same instruction; the plain one's undefined
        // pass-through trips gcc's uninitialised-value warning.
        return _mm512_mask_rol_epi32(v, 0xFFFF, v, S);
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
