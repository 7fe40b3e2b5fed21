#include "RecordingEngine.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

// Runs the core the way the file hasher does: data, marker, zeros, length, in 64-byte blocks.
std::string DigestOfMessage(const std::vector<unsigned char>& message, bool upperCase)
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

std::string DigestOfText(const std::string& text, bool upperCase)
{
    return DigestOfMessage(std::vector<unsigned char>(text.begin(), text.end()), upperCase);
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

TEST(Md5Core, Rfc1321TestSuiteInBothCases)
{
    const std::pair<std::string, std::string> suite[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : suite) {
        EXPECT_EQ(DigestOfText(text, false), digest) << text;
        EXPECT_EQ(DigestOfText(text, true), Upper(digest)) << text;
    }
}

TEST(Md5Core, MessagesAroundTheBlockAndTrailerBoundaries)
{
    // Trailer inside the last data block, in a block of its own, and a block of trailer only.
    const std::pair<std::size_t, std::string> cases[] = {
        {0, "d41d8cd98f00b204e9800998ecf8427e"},   {1, "93b885adfe0da089cdf634904fd59f71"},
        {55, "fe4c050c7a3d8b0c93d5baae6ca77fa1"},  {56, "6cf06c0659a33472a3005a497c53b3ab"},
        {57, "82881e76658f0cff3e26728ec7381bb1"},  {63, "b45d7746939fd1f4ce3d417b18ed2635"},
        {64, "a36738582497d785e6c27f09c9b8a15d"},  {65, "ac810d9d23a3425a15adb534769f920b"},
        {119, "052904ad6cf3e237cba0b945f08c0a88"}, {120, "cd8ff5e7fddeb2b0377b28ac1dab4f26"},
        {128, "710e8d86231ece9aaf37ba5d139d2939"},
    };
    for (const auto& [size, digest] : cases)
        EXPECT_EQ(DigestOfMessage(PatternBytes(size), false), digest) << size << " bytes";
}

TEST(Md5Core, SetLengthPadsToFiftySixModuloSixtyFour)
{
    const std::pair<std::uint64_t, int> cases[] = {{0, 56}, {64, 56}, {1, 55}, {55, 1}, {56, 64}, {63, 57}, {4294967295u, 57}};
    CRecordingEngine engine;
    for (const auto& [count, padLength] : cases) {
        engine.SetLength(count);
        EXPECT_EQ(engine.PadLength(), padLength) << count;
    }
}

TEST(Md5Core, SetLengthWritesTheBitCountLittleEndianInSixtyFourBits)
{
    const std::pair<std::uint64_t, std::vector<unsigned char>> cases[] = {
        {0, {0, 0, 0, 0, 0, 0, 0, 0}},
        {1, {8, 0, 0, 0, 0, 0, 0, 0}},
        {536870912, {0, 0, 0, 0, 1, 0, 0, 0}},
        {4294967295u, {0xF8, 0xFF, 0xFF, 0xFF, 7, 0, 0, 0}},
        // Past 4 GiB the whole bit count is kept: 2^32 + 1000 bytes.
        {4294968296u, {0x40, 0x1F, 0, 0, 8, 0, 0, 0}},
    };
    CRecordingEngine engine;
    for (const auto& [count, bytes] : cases) {
        engine.SetLength(count);
        EXPECT_EQ(std::vector<unsigned char>(engine.LengthBytes(), engine.LengthBytes() + 8), bytes) << count;
    }
}

TEST(Md5Core, HexDigestRightAfterInitShowsTheInitialWords)
{
    CRecordingEngine engine;
    engine.Init();
    EXPECT_EQ(engine.HexDigest(false), "0123456789abcdeffedcba9876543210");
    EXPECT_EQ(engine.HexDigest(true), "0123456789ABCDEFFEDCBA9876543210");
}

}  // namespace
