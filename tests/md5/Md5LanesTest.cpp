#include "md5/Md5Engine.h"
#include "md5/Md5Lanes.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <random>

namespace {

class CScalarEngine : public CMd5Engine {
protected:
    void OnProgress(int) override {}
};

// The scalar core's digest of a message, through a stream as the companion reads one.
std::string ScalarDigest(const std::vector<unsigned char>& message)
{
    std::FILE* stream = std::tmpfile();
    if (!message.empty())
        std::fwrite(message.data(), 1, message.size(), stream);
    std::rewind(stream);
    CScalarEngine engine;
    const std::string digest = engine.HashStream(stream, std::nullopt, true);
    std::fclose(stream);
    return digest;
}

struct Message {
    std::string name;
    std::vector<unsigned char> bytes;
    std::size_t fed = 0;
};

// Runs the messages through the lanes as the companion does: each free lane takes the next
// message, a hungry lane gets its next piece (a random count of whole blocks, or the rest),
// and the digests come out in whatever order the lanes finish them.
std::vector<std::pair<std::string, std::string>> HashInLanes(const CMd5Lanes::Kernel& kernel, std::deque<Message> queue, std::mt19937& random)
{
    CMd5Lanes lanes(kernel);
    std::vector<Message> inLane(static_cast<std::size_t>(lanes.Lanes()));
    std::vector<std::pair<std::string, std::string>> digests;
    const auto feedNext = [&](int lane) {
        Message& message = inLane[static_cast<std::size_t>(lane)];
        const std::size_t left = message.bytes.size() - message.fed;
        const std::size_t piece = std::min(left, 64 * std::uniform_int_distribution<std::size_t>(0, 8)(random));
        lanes.Feed(lane, message.bytes.data() + message.fed, piece, piece == left);
        message.fed += piece;
    };
    for (;;) {
        bool busy = false;
        for (int lane = 0; lane < lanes.Lanes(); ++lane) {
            if (lanes.Done(lane))
                digests.emplace_back(inLane[static_cast<std::size_t>(lane)].name, lanes.TakeDigest(lane, true));
            if (lanes.Free(lane) && !queue.empty()) {
                inLane[static_cast<std::size_t>(lane)] = std::move(queue.front());
                queue.pop_front();
                lanes.Start(lane);
            }
            while (lanes.Hungry(lane))
                feedNext(lane);
            busy = busy || !lanes.Free(lane);
        }
        if (!busy)
            return digests;
        lanes.Run();
    }
}

// Every kernel this machine runs against the scalar core: RFC 1321's vectors in every lane
// position, then every length from 0 to 4 KiB and a few large messages in a random mix, fed in
// random pieces, so that lanes finish on every block boundary while the others go on.
TEST(Md5Lanes, EveryKernelDigestsAsTheScalarCore)
{
    const std::vector<CMd5Lanes::Kernel> kernels = CMd5Lanes::AvailableKernels();
#if defined(__x86_64__) || defined(_M_X64)
    ASSERT_FALSE(kernels.empty()) << "every x86-64 has SSE2";
#endif
    const std::pair<const char*, const char*> rfc[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890", "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    std::mt19937 random(20261208);
    std::vector<Message> mixed;
    for (std::size_t length = 0; length <= 4160; ++length)
        mixed.push_back({"length-" + std::to_string(length), PatternBytes(length + 1), 0});
    for (Message& message : mixed) {
        message.bytes.erase(message.bytes.begin());  // starts one byte in, unlike the next length's
        std::shuffle(message.bytes.begin(), message.bytes.end(), random);
    }
    for (const std::size_t length : {65536u, 100003u, 262144u})
        mixed.push_back({"large-" + std::to_string(length), PatternBytes(length), 0});
    std::shuffle(mixed.begin(), mixed.end(), random);
    std::map<std::string, std::string> expected;
    for (const Message& message : mixed)
        expected[message.name] = ScalarDigest(message.bytes);

    for (const CMd5Lanes::Kernel& kernel : kernels) {
        SCOPED_TRACE(kernel.name);
        for (int shift = 0; shift < kernel.lanes; ++shift) {
            // Lane i gets vector (i + shift) % 6 first: over the shifts each vector meets each lane.
            std::deque<Message> queue;
            for (int lane = 0; lane < kernel.lanes; ++lane) {
                const auto& [text, digest] = rfc[(lane + shift) % 6];
                queue.push_back({digest, std::vector<unsigned char>(text, text + std::strlen(text)), 0});
            }
            for (const auto& [name, digest] : HashInLanes(kernel, queue, random))
                EXPECT_EQ(digest, name) << "an RFC vector, lanes shifted by " << shift;
        }
        const auto digests = HashInLanes(kernel, std::deque<Message>(mixed.begin(), mixed.end()), random);
        EXPECT_EQ(digests.size(), mixed.size());
        for (const auto& [name, digest] : digests)
            EXPECT_EQ(digest, expected[name]) << name;
    }
}

}  // namespace
