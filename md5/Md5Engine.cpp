#include "md5/Md5Engine.h"

#include "md5/ChunkReader.h"
#include "platform/FileAccess.h"

#include <cstring>

namespace {

constexpr std::size_t kChunkSize = CChunkReader::kChunkSize;

std::uint32_t LoadWord(const unsigned char* p)
{
    // Byte by byte, so the result does not depend on the host's byte order; compilers turn
    // this into one load on little-endian machines.
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

HashFailure FailureOfOpen(zanfo::OpenFailure failure)
{
    switch (failure) {
    case zanfo::OpenFailure::NotFound:
        return HashFailure::NotFound;
    case zanfo::OpenFailure::NotRegular:
        return HashFailure::NotRegularFile;
    case zanfo::OpenFailure::PermissionDenied:
        return HashFailure::PermissionDenied;
    default:
        return HashFailure::OpenFailed;
    }
}

}  // namespace

CMd5Engine::CMd5Engine()
    : m_file(nullptr)
    , m_running(false)
    , m_failure(HashFailure::None)
{
}

CMd5Engine::~CMd5Engine()
{
    if (m_running.load(std::memory_order_relaxed))
        CloseFile();
}

void CMd5Engine::Stop()
{
    m_running.store(false, std::memory_order_relaxed);
    // A read may be blocked for good (a share that went away): it fails now, not at its end.
    std::lock_guard<std::mutex> lock(m_readerMutex);
    if (m_reader)
        m_reader->Cancel();
}

void CMd5Engine::AttachReader(CChunkReader* reader)
{
    std::lock_guard<std::mutex> lock(m_readerMutex);
    m_reader = reader;
    // A Stop that came since the run began would otherwise miss a read that never returns.
    if (reader && !m_running.load(std::memory_order_relaxed))
        reader->Cancel();
}

void CMd5Engine::CloseFile()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

std::string CMd5Engine::HashFile(std::string path, bool upperCase)
{
    m_failure = HashFailure::None;
    bool hashed = false;
    m_error = 0;
    try {
        const zanfo::OpenedFile opened = zanfo::OpenRegularFile(path);
        m_file = opened.stream;
        if (!m_file) {
            m_failure = FailureOfOpen(opened.failure);
            m_error = opened.error;
            return {};
        }
        m_running.store(true, std::memory_order_relaxed);
        hashed = HashOpenFile(opened.size);
    } catch (...) {
        // Nothing may escape to a worker thread: any failure is an empty result.
        m_failure = HashFailure::Unexpected;
    }
    CloseFile();
    m_running.store(false, std::memory_order_relaxed);
    return hashed ? HexDigest(upperCase) : std::string();
}

std::string CMd5Engine::HashStream(std::FILE* stream, std::optional<std::uint64_t> regularFileSize, bool upperCase)
{
    m_failure = HashFailure::None;
    m_error = 0;
    bool hashed = false;
    m_file = stream;
    m_running.store(true, std::memory_order_relaxed);
    try {
        hashed = HashOpenFile(regularFileSize);
    } catch (...) {
        m_failure = HashFailure::Unexpected;
    }
    m_file = nullptr;  // the caller's to close
    m_running.store(false, std::memory_order_relaxed);
    return hashed ? HexDigest(upperCase) : std::string();
}

bool CMd5Engine::HashOpenFile(std::optional<std::uint64_t> size)
{
    if (size == 0u) {
        m_failure = HashFailure::Empty;
        return false;
    }
    Init();
    // The buffers go with the run unless kept; the reader is gone before they are.
    struct Release {
        CMd5Engine& engine;
        ~Release()
        {
            if (!engine.m_keepBuffers)
                engine.m_buffers = {};
        }
    } release{*this};
    CChunkReader reader(m_file, m_buffers, size.has_value());
    // While the reader lives, Stop reaches it.
    struct Attachment {
        CMd5Engine& engine;
        Attachment(CMd5Engine& owner, CChunkReader& attached)
            : engine(owner)
        {
            engine.AttachReader(&attached);
        }
        ~Attachment() { engine.AttachReader(nullptr); }
    } attachment(*this, reader);
    std::uint64_t chunksRead = 0;
    CChunkReader::Chunk chunk = reader.Next();
    while (chunk.size == kChunkSize) {
        if (!m_running.load(std::memory_order_relaxed)) {
            m_failure = HashFailure::Stopped;
            return false;
        }
        ++chunksRead;
        if (size) {
            // Past the size looked up at open: the file is growing. Stopping here also means the
            // divisor below is never zero (size is at least one chunk) and percent never passes 100.
            if (chunksRead * kChunkSize > *size) {
                m_failure = HashFailure::Changed;
                return false;
            }
            OnProgress(static_cast<int>(chunksRead * kChunkSize / (*size / 100)));
        }
        reader.PrefetchNext();
        TransformBlocks(chunk.data, kChunkSize / 64);
        chunk = reader.Next();
    }
    if (chunk.readError) {
        // A read that failed because of a Stop is a stopped run, not a broken disk.
        m_failure = m_running.load(std::memory_order_relaxed) ? HashFailure::ReadError : HashFailure::Stopped;
        m_error = chunk.readError;
        return false;
    }
    const std::uint64_t total = chunksRead * kChunkSize + chunk.size;
    if (size && total != *size) {
        m_failure = HashFailure::Changed;
        return false;
    }
    SetLength(total);
    HashTail(chunk.data, chunk.size);
    if (size)
        OnProgress(100);
    return true;
}

void CMd5Engine::HashTail(const unsigned char* data, std::size_t count)
{
    TransformBlocks(data, count / 64);
    const std::size_t rest = count % 64;

    // The rest of the data, the 0x80 marker, zeros and the length: one or two blocks.
    unsigned char trailer[128] = {};
    std::memcpy(trailer, data + count - rest, rest);
    trailer[rest] = 0x80;
    const std::size_t lengthAt = rest + static_cast<std::size_t>(m_padLen);
    std::memcpy(trailer + lengthAt, m_lengthBytes, sizeof m_lengthBytes);
    TransformBlocks(trailer, (lengthAt + sizeof m_lengthBytes) / 64);
}

void CMd5Engine::Init()
{
    m_A = 0x67452301;
    m_B = 0xEFCDAB89;
    m_C = 0x98BADCFE;
    m_D = 0x10325476;
    m_S11 = 7;
    m_S21 = 5;
    m_S31 = 4;
    m_S41 = 6;
    m_S12 = 12;
    m_S22 = 9;
    m_S32 = 11;
    m_S42 = 10;
    m_S13 = 17;
    m_S23 = 14;
    m_S33 = 16;
    m_S43 = 15;
    m_S14 = 22;
    m_S24 = 20;
    m_S34 = 23;
    m_S44 = 21;
}

void CMd5Engine::SetLength(std::uint64_t byteCount)
{
    const std::uint64_t rest = byteCount % 64;
    m_padLen = static_cast<std::int32_t>(rest == 0 ? 56 : rest < 56 ? 56 - rest : 120 - rest);
    const std::uint64_t bitCount = byteCount * 8;
    for (int i = 0; i < 8; ++i)
        m_lengthBytes[i] = static_cast<unsigned char>(bitCount >> (8 * i));
}

void CMd5Engine::Transform(const unsigned char* block)
{
    TransformBlocks(block, 1);
}

std::string CMd5Engine::HexDigest(bool upperCase) const
{
    return HexOf({m_A, m_B, m_C, m_D}, upperCase);
}

std::string CMd5Engine::HexOf(const std::uint32_t (&words)[4], bool upperCase)
{
    const char* digits = upperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text(32, '0');
    std::size_t at = 0;
    for (const std::uint32_t word : words) {
        for (int byte = 0; byte < 4; ++byte) {
            const unsigned value = (word >> (8 * byte)) & 0xFF;
            text[at++] = digits[value >> 4];
            text[at++] = digits[value & 0x0F];
        }
    }
    return text;
}

inline std::uint32_t CMd5Engine::RotateLeft(std::uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

// The auxiliary functions in forms that keep the newest word (x) late in the expression.
inline std::uint32_t CMd5Engine::F(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return ((y ^ z) & x) ^ z;
}

inline std::uint32_t CMd5Engine::G(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    // (x & z) | (y & ~z); the two halves share no bits, so + gives the same value and lets
    // the half without x be added before x is known.
    return (y & ~z) + (x & z);
}

inline std::uint32_t CMd5Engine::H(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return x ^ (y ^ z);
}

inline std::uint32_t CMd5Engine::I(std::uint32_t x, std::uint32_t y, std::uint32_t z)
{
    return y ^ (x | ~z);
}

// Each step: a = b + ((a + f(b, c, d) + x + t) <<< s), with a + x + t summed off the critical path.
inline void CMd5Engine::FF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t)
{
    a = b + RotateLeft((a + x + t) + F(b, c, d), s);
}

inline void CMd5Engine::GG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t)
{
    a = b + RotateLeft((a + x + t) + G(b, c, d), s);
}

inline void CMd5Engine::HH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t)
{
    a = b + RotateLeft((a + x + t) + H(b, c, d), s);
}

inline void CMd5Engine::II(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t)
{
    a = b + RotateLeft((a + x + t) + I(b, c, d), s);
}

void CMd5Engine::TransformBlocks(const unsigned char* data, std::size_t blockCount)
{
    std::uint32_t a = m_A, b = m_B, c = m_C, d = m_D;
    const int s11 = m_S11, s12 = m_S12, s13 = m_S13, s14 = m_S14;
    const int s21 = m_S21, s22 = m_S22, s23 = m_S23, s24 = m_S24;
    const int s31 = m_S31, s32 = m_S32, s33 = m_S33, s34 = m_S34;
    const int s41 = m_S41, s42 = m_S42, s43 = m_S43, s44 = m_S44;

    for (; blockCount > 0; --blockCount, data += 64) {
        std::uint32_t x[16];
        for (int k = 0; k < 16; ++k)
            x[k] = LoadWord(data + 4 * k);
        const std::uint32_t aa = a, bb = b, cc = c, dd = d;

        FF(a, b, c, d, x[0], s11, 0xd76aa478);
        FF(d, a, b, c, x[1], s12, 0xe8c7b756);
        FF(c, d, a, b, x[2], s13, 0x242070db);
        FF(b, c, d, a, x[3], s14, 0xc1bdceee);
        FF(a, b, c, d, x[4], s11, 0xf57c0faf);
        FF(d, a, b, c, x[5], s12, 0x4787c62a);
        FF(c, d, a, b, x[6], s13, 0xa8304613);
        FF(b, c, d, a, x[7], s14, 0xfd469501);
        FF(a, b, c, d, x[8], s11, 0x698098d8);
        FF(d, a, b, c, x[9], s12, 0x8b44f7af);
        FF(c, d, a, b, x[10], s13, 0xffff5bb1);
        FF(b, c, d, a, x[11], s14, 0x895cd7be);
        FF(a, b, c, d, x[12], s11, 0x6b901122);
        FF(d, a, b, c, x[13], s12, 0xfd987193);
        FF(c, d, a, b, x[14], s13, 0xa679438e);
        FF(b, c, d, a, x[15], s14, 0x49b40821);

        GG(a, b, c, d, x[1], s21, 0xf61e2562);
        GG(d, a, b, c, x[6], s22, 0xc040b340);
        GG(c, d, a, b, x[11], s23, 0x265e5a51);
        GG(b, c, d, a, x[0], s24, 0xe9b6c7aa);
        GG(a, b, c, d, x[5], s21, 0xd62f105d);
        GG(d, a, b, c, x[10], s22, 0x02441453);
        GG(c, d, a, b, x[15], s23, 0xd8a1e681);
        GG(b, c, d, a, x[4], s24, 0xe7d3fbc8);
        GG(a, b, c, d, x[9], s21, 0x21e1cde6);
        GG(d, a, b, c, x[14], s22, 0xc33707d6);
        GG(c, d, a, b, x[3], s23, 0xf4d50d87);
        GG(b, c, d, a, x[8], s24, 0x455a14ed);
        GG(a, b, c, d, x[13], s21, 0xa9e3e905);
        GG(d, a, b, c, x[2], s22, 0xfcefa3f8);
        GG(c, d, a, b, x[7], s23, 0x676f02d9);
        GG(b, c, d, a, x[12], s24, 0x8d2a4c8a);

        HH(a, b, c, d, x[5], s31, 0xfffa3942);
        HH(d, a, b, c, x[8], s32, 0x8771f681);
        HH(c, d, a, b, x[11], s33, 0x6d9d6122);
        HH(b, c, d, a, x[14], s34, 0xfde5380c);
        HH(a, b, c, d, x[1], s31, 0xa4beea44);
        HH(d, a, b, c, x[4], s32, 0x4bdecfa9);
        HH(c, d, a, b, x[7], s33, 0xf6bb4b60);
        HH(b, c, d, a, x[10], s34, 0xbebfbc70);
        HH(a, b, c, d, x[13], s31, 0x289b7ec6);
        HH(d, a, b, c, x[0], s32, 0xeaa127fa);
        HH(c, d, a, b, x[3], s33, 0xd4ef3085);
        HH(b, c, d, a, x[6], s34, 0x04881d05);
        HH(a, b, c, d, x[9], s31, 0xd9d4d039);
        HH(d, a, b, c, x[12], s32, 0xe6db99e5);
        HH(c, d, a, b, x[15], s33, 0x1fa27cf8);
        HH(b, c, d, a, x[2], s34, 0xc4ac5665);

        II(a, b, c, d, x[0], s41, 0xf4292244);
        II(d, a, b, c, x[7], s42, 0x432aff97);
        II(c, d, a, b, x[14], s43, 0xab9423a7);
        II(b, c, d, a, x[5], s44, 0xfc93a039);
        II(a, b, c, d, x[12], s41, 0x655b59c3);
        II(d, a, b, c, x[3], s42, 0x8f0ccc92);
        II(c, d, a, b, x[10], s43, 0xffeff47d);
        II(b, c, d, a, x[1], s44, 0x85845dd1);
        II(a, b, c, d, x[8], s41, 0x6fa87e4f);
        II(d, a, b, c, x[15], s42, 0xfe2ce6e0);
        II(c, d, a, b, x[6], s43, 0xa3014314);
        II(b, c, d, a, x[13], s44, 0x4e0811a1);
        II(a, b, c, d, x[4], s41, 0xf7537e82);
        II(d, a, b, c, x[11], s42, 0xbd3af235);
        II(c, d, a, b, x[2], s43, 0x2ad7d2bb);
        II(b, c, d, a, x[9], s44, 0xeb86d391);

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    m_A = a;
    m_B = b;
    m_C = c;
    m_D = d;
}
