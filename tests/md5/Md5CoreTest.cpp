#include "RecordingEngine.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The core driven as the file hasher drives it: data, marker, zeros, length, in 64-byte blocks.
std::string DigestOf(const std::vector<unsigned char>& message, bool upperCase)
{
    CRecordingEngine engine;
    engine.Init();
    engine.SetLength(message.size());
    std::vector<unsigned char> stream(message);
    stream.push_back(0x80);
    stream.resize(stream.size() + static_cast<std::size_t>(engine.PadLength()) - 1, 0);
    stream.insert(stream.end(), engine.LengthBytes(), engine.LengthBytes() + 8);
    EXPECT_EQ(stream.size() % 64, 0u);
    for (std::size_t at = 0; at < stream.size(); at += 64)
        engine.Transform(stream.data() + at);
    return engine.HexDigest(upperCase);
}

// RFC 1321's suite, then pattern messages whose trailer falls inside the last data block, in a
// block of its own, or after a full one.
TEST(Md5Core, DigestsOfTheRfcSuiteAndAroundTheBlockBoundaries)
{
    const std::pair<std::string, std::string> rfc[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"}, {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"}, {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789" "0", "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : rfc)
        EXPECT_EQ(DigestOf(std::vector<unsigned char>(text.begin(), text.end()), false), digest) << text;
    const std::pair<std::size_t, std::string> patterns[] = {
        {55, "FE4C050C7A3D8B0C93D5BAAE6CA77FA1"},  {56, "6CF06C0659A33472A3005A497C53B3AB"},
        {63, "B45D7746939FD1F4CE3D417B18ED2635"},  {64, "A36738582497D785E6C27F09C9B8A15D"},
        {119, "052904AD6CF3E237CBA0B945F08C0A88"}, {120, "CD8FF5E7FDDEB2B0377B28AC1DAB4F26"},
    };
    for (const auto& [size, digest] : patterns)
        EXPECT_EQ(DigestOf(PatternBytes(size), true), digest) << size << " bytes";
}

// The padding reaches 56 modulo 64, and the bit count is kept whole past 4 GiB.
TEST(Md5Core, TheLengthIsPaddedAndCountedInSixtyFourBits)
{
    struct Case {
        std::uint64_t bytes;
        int padLength;
        std::vector<unsigned char> bitCount;
    };
    const Case cases[] = {{0, 56, {0, 0, 0, 0, 0, 0, 0, 0}}, {1, 55, {8, 0, 0, 0, 0, 0, 0, 0}},
                          {56, 64, {0xC0, 1, 0, 0, 0, 0, 0, 0}}, {63, 57, {0xF8, 1, 0, 0, 0, 0, 0, 0}},
                          {4294968296u, 16, {0x40, 0x1F, 0, 0, 8, 0, 0, 0}}};
    CRecordingEngine engine;
    for (const Case& c : cases) {
        engine.SetLength(c.bytes);
        EXPECT_EQ(engine.PadLength(), c.padLength) << c.bytes;
        EXPECT_EQ(std::vector<unsigned char>(engine.LengthBytes(), engine.LengthBytes() + 8), c.bitCount) << c.bytes;
    }
}

}  // namespace
