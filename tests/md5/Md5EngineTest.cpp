#include "md5/Md5Engine.h"
#include "md5/LaneFileHasher.h"
#include "md5/Md5Lanes.h"
#include "platform/FileAccess.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <random>
#include <stdexcept>
#include <thread>
#include <tuple>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr std::uint64_t kMiB = 1048576;

// An engine that remembers every progress value and can run a hook at each one.
class CRecordingEngine : public CMd5Engine {
public:
    std::vector<int> progress;
    std::function<void(int call, int percent)> onProgress;

protected:
    void OnProgress(int percent) override
    {
        progress.push_back(percent);
        if (onProgress)
            onProgress(static_cast<int>(progress.size()), percent);
    }
};

// A message hashed as the companion hashes standard input: a stream read to its end.
std::string DigestOf(const std::vector<unsigned char>& message, bool upperCase)
{
    std::FILE* stream = std::tmpfile();
    if (!message.empty())  // an empty vector's data may be null, which fwrite must not get
        std::fwrite(message.data(), 1, message.size(), stream);
    std::rewind(stream);
    CRecordingEngine engine;
    const std::string digest = engine.HashStream(stream, std::nullopt, upperCase);
    std::fclose(stream);
    return digest;
}

// RFC 1321's suite, then pattern messages whose trailer falls inside the last data block, in a
// block of its own, or after a full one; the bit count is kept whole past 4 GiB.
TEST(Md5Core, DigestsOfTheRfcSuiteAndAroundTheBlockBoundaries)
{
    const std::tuple<const char*, std::string, const char*> rfc[] = {
        {"rfc-empty", "", "d41d8cd98f00b204e9800998ecf8427e"},
        {"rfc-a", "a", "0cc175b9c0f1b6a831c399e269772661"},
        {"rfc-abc", "abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"rfc-message-digest", "message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"rfc-80-digits", "12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [name, text, digest] : rfc)
        EXPECT_EQ(DigestOf(std::vector<unsigned char>(text.begin(), text.end()), false), digest) << name;
    const std::tuple<const char*, std::size_t, const char*> patterns[] = {
        {"trailer-fits-55", 55, "FE4C050C7A3D8B0C93D5BAAE6CA77FA1"},
        {"trailer-spills-56", 56, "6CF06C0659A33472A3005A497C53B3AB"},
        {"trailer-spills-63", 63, "B45D7746939FD1F4CE3D417B18ED2635"},
        {"trailer-own-block-64", 64, "A36738582497D785E6C27F09C9B8A15D"},
        {"trailer-fits-119", 119, "052904AD6CF3E237CBA0B945F08C0A88"},
        {"trailer-spills-120", 120, "CD8FF5E7FDDEB2B0377B28AC1DAB4F26"},
        {"three-mib-and-7", 3 * kMiB + 7, "C451B0389A7E0C93CB5D8637311B0D14"},
    };
    for (const auto& [name, size, digest] : patterns)
        EXPECT_EQ(DigestOf(PatternBytes(size), true), digest) << name;
    CRecordingEngine engine;
    engine.SetLength(4294968296u);
    EXPECT_EQ(std::vector<unsigned char>(engine.LengthBytes(), engine.LengthBytes() + 8),
              (std::vector<unsigned char>{0x40, 0x1F, 0, 0, 8, 0, 0, 0}));
}

struct Message {
    std::string name;
    std::vector<unsigned char> bytes;
    std::size_t fed = 0;
};

// Runs the messages through the lanes as the companion does: each free lane takes the next
// message, a hungry lane gets its next piece (a random count of whole blocks, or the rest),
// runs are of any length, and the digests come out in whatever order the lanes finish them.
std::vector<std::pair<std::string, std::string>> HashInLanes(const CMd5Lanes::Kernel& kernel, std::deque<Message> queue,
                                                             std::mt19937& random)
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
        // Whole runs, or short ones as while a lane waits for its read.
        lanes.Run(random() % 2 ? SIZE_MAX : 1 + random() % 4);
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
        expected[message.name] = DigestOf(message.bytes, true);

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

// Pattern files, whose chunks all differ, so that a chunk hashed twice or out of turn shows.
TEST(FileHasher, FilesHashToTheirStandardDigestsAndLeaveNothingOpen)
{
    const std::tuple<const char*, std::size_t, const char*> rows[] = {
        {"one-byte", 1, "93B885ADFE0DA089CDF634904FD59F71"},
        {"small", 1000, "298B7796998306E58F3FF945F91D604C"},
        {"chunk-less-one", kMiB - 1, "EC56E41D237E59D83D2BEC43EB857734"},
        {"one-chunk", kMiB, "A66BEFC61DC4773A928BD6958403E2CE"},
        {"chunk-and-one", kMiB + 1, "8384426DB39EBBC27C9109A3E609EFCF"},
        {"two-chunks-and-a-tail", 2 * kMiB + 10, "8C84FB24620E647BC241DAB8D4ADFCE3"},
        {"three-chunks", 3 * kMiB, "00EF6591EF6D839316F2843EA1EA4F00"},
    };
    CTempDir dir;
    CRecordingEngine engine;
    engine.Stop();  // idle: changes nothing
    const int descriptorsBefore = OpenDescriptorCount();
    for (const auto& [name, size, digest] : rows) {
        const std::string path = WritePatternFile(dir.File("第" + std::to_string(size) + "个文件.bin"), size);
        EXPECT_EQ(engine.HashFile(path, true), digest) << name;
        EXPECT_EQ(engine.LastFailure(), HashFailure::None) << name;
    }
    EXPECT_EQ(engine.HashFile(dir.File("第1个文件.bin"), false), "93b885adfe0da089cdf634904fd59f71");
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}

// Progress before each full chunk and once at the end; a Stop from another thread ends the run
// at the next chunk check, or past the last one by failing the read of the tail (no later
// progress, no 100).
TEST(FileHasher, ProgressComesBeforeEachFullChunkAndAStopEndsTheRun)
{
    // The size of a file of zeros, whether a Stop comes at the second progress call, its digest.
    const std::tuple<const char*, std::uint64_t, bool, const char*, std::vector<int>> rows[] = {
        {"below-one-chunk", kMiB - 1, false, "E57598CD670284CF7D09E16ED9D4B2AC", {100}},
        {"one-chunk", kMiB, false, "B6D81B360A5672D80C27430F39153E2C", {100, 100}},
        {"the-threshold", 20485760, false, "C05B97BD323B1E1AF98EFD93AC0B09BD", {5,  10, 15, 20, 25, 30, 35, 40, 46, 51,
                                                                                56, 61, 66, 71, 76, 81, 87, 92, 97, 100}},
        {"twenty-chunks", 20 * kMiB, false, "8F4E33F3DC3E414FF94E5FB6905CBA8C", {5,  10, 15, 20, 25, 30, 35, 40, 45,  50, 55,
                                                                                 60, 65, 70, 75, 80, 85, 90, 95, 100, 100}},
        {"stopped-mid-file", 8 * kMiB, true, "", {12, 25}},
        {"stopped-at-the-last-chunk", 2 * kMiB + 10, true, "", {50, 100}},
    };
    CTempDir dir;
    for (const auto& [name, size, stop, digest, progress] : rows) {
        SCOPED_TRACE(name);
        MakeSparseFile(dir.File("zeros"), size);
        CRecordingEngine engine;
        engine.onProgress = [&, stop = stop](int call, int) {
            if (stop && call == 2)
                std::thread([&] { engine.Stop(); }).join();
        };
        EXPECT_EQ(engine.HashFile(dir.File("zeros"), true), digest);
        EXPECT_EQ(engine.LastFailure(), *digest ? HashFailure::None : HashFailure::Stopped);
        EXPECT_EQ(engine.progress, progress);
        engine.onProgress = nullptr;
        EXPECT_EQ(engine.HashFile(dir.File("zeros"), true).size(), 32u) << "the next run sets the running flag itself";
    }
}

// A read that never returns (a pipe whose writer sends nothing, as a share that went away): a
// Stop from another thread makes it fail, and the run ends stopped.
TEST(FileHasher, AStopEndsAReadThatNeverReturns)
{
    CSilentPipe pipe;
    CRecordingEngine engine;
    auto run = std::async(std::launch::async, [&] { return engine.HashStream(pipe.ReadEnd(), std::nullopt, true); });
    // Stops come until the run ends: the first may come before it begins. Should none end the
    // read within a minute, the writer goes and the read ends anyway: the test fails, not hangs.
    for (int stops = 0; run.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready; ++stops)
        stops < 3000 ? engine.Stop() : pipe.CloseWriter();
    EXPECT_EQ(run.get(), "");
    EXPECT_EQ(engine.LastFailure(), HashFailure::Stopped);
}

#ifndef _WIN32
// Fifos, devices, permissions and open descriptors as POSIX has them.
TEST(FileHasher, PathsThatCannotBeHashedGiveTheirReasonAndLeaveNothingOpen)
{
    CTempDir dir;
    const std::string emptyFile = dir.File("empty"), fifo = dir.File("fifo"), secret = dir.File("secret");
    WriteBytes(emptyFile, {});
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::tuple<const char*, std::string, HashFailure> rows[] = {
        {"missing", dir.File("missing"), HashFailure::NotFound},
        {"empty-path", "", HashFailure::NotFound},
        {"empty-file", emptyFile, HashFailure::Empty},
        {"folder", dir.Path(), HashFailure::NotRegularFile},
        {"fifo-nobody-writes", fifo, HashFailure::NotRegularFile},  // opening must not wait
        {"device", "/dev/null", HashFailure::NotRegularFile},
    };
    CRecordingEngine engine;
    const int descriptorsBefore = OpenDescriptorCount();
    for (const auto& [name, path, failure] : rows) {
        EXPECT_EQ(engine.HashFile(path, true), "") << name;
        EXPECT_EQ(engine.LastFailure(), failure) << name;
        EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore) << name;
    }
    EXPECT_TRUE(engine.progress.empty());
    WritePatternFile(secret, 100);
    ASSERT_EQ(chmod(secret.c_str(), 0), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    // As another user: a file that may not be read, and, one process being all the user may
    // have, no thread to read ahead with: the run then reads alone.
    const std::string three = WritePatternFile(dir.File("three"), 3 * kMiB);
    EXPECT_EQ(CheckedUnprivileged([&] {
                  const rlimit oneProcess{1, 1};
                  CRecordingEngine unprivileged;
                  return unprivileged.HashFile(secret, true).empty() && unprivileged.LastFailure() == HashFailure::PermissionDenied &&
                         setrlimit(RLIMIT_NPROC, &oneProcess) == 0 &&
                         unprivileged.HashFile(three, true) == "00EF6591EF6D839316F2843EA1EA4F00";
              }),
              std::optional<bool>(true));
}

// The stream the engine reads `path` through starts failing: its descriptor now names a folder.
void BreakOpenFile(const std::string& path)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == path) {
            const int folder = open("/", O_RDONLY | O_DIRECTORY);
            dup2(folder, std::stoi(entry.path().filename().string()));
            close(folder);
        }
    }
}

// What happens to the file after the first chunk: each run ends without a digest, for its own
// reason, with nothing left open and the engine fit for the next run.
TEST(FileHasher, AFileThatChangesOrFailsWhileReadIsNeverGivenADigest)
{
    CTempDir dir;
    const std::string path = dir.File("moving");
    // The size, at which progress call what happens, and the failure it must give.
    const std::tuple<const char*, std::uint64_t, int, std::function<void()>, HashFailure> rows[] = {
        {"grows-mid-file", 3 * kMiB, 1, [&] { ResizeFile(path, 4 * kMiB); }, HashFailure::Changed},
        {"shrinks-mid-file", 3 * kMiB, 1, [&] { ResizeFile(path, kMiB + kMiB / 2); }, HashFailure::Changed},
        {"grows-after-the-last-full-chunk", 2 * kMiB + 10, 2, [&] { ResizeFile(path, 2 * kMiB + 15); }, HashFailure::Changed},
        {"shrinks-to-a-chunk-boundary", 3 * kMiB, 1, [&] { ResizeFile(path, 2 * kMiB); }, HashFailure::Changed},
        {"read-error-mid-file", 3 * kMiB, 1, [&] { BreakOpenFile(path); }, HashFailure::ReadError},
        {"progress-receiver-throws", 3 * kMiB, 2, [] { throw std::runtime_error("receiver went away"); }, HashFailure::Unexpected},
    };
    CRecordingEngine engine;
    const int descriptorsBefore = OpenDescriptorCount();
    for (const auto& [name, size, atCall, change, failure] : rows) {
        SCOPED_TRACE(name);
        WritePatternFile(path, size);
        engine.progress.clear();
        engine.onProgress = [atCall = atCall, &change = change](int call, int) {
            if (call == atCall)
                change();
        };
        EXPECT_EQ(engine.HashFile(path, true), "");
        EXPECT_EQ(engine.LastFailure(), failure);
        EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
        EXPECT_LE(*std::max_element(engine.progress.begin(), engine.progress.end()), 100);
    }
    engine.onProgress = nullptr;
    EXPECT_EQ(engine.HashFile(path, true), "00EF6591EF6D839316F2843EA1EA4F00");
}

// A file in a lane that changes or fails after its first slab gets no digest but its reason;
// the file in the lane beside it its digest; nothing stays open.
TEST(LaneFileHasher, AFileThatChangesOrFailsWhileReadGetsNoDigestAndTheOthersGoOn)
{
    const std::vector<CMd5Lanes::Kernel> kernels = CMd5Lanes::AvailableKernels();
    if (kernels.empty())
        GTEST_SKIP() << "no vector lanes in this build";
    constexpr std::uint64_t kSlab = CLaneFileHasher::kSlabSize;
    CTempDir dir;
    const std::string path = dir.File("moving"), steady = WritePatternFile(dir.File("steady"), 5 * kSlab + 3);
    const std::tuple<const char*, std::uint64_t, std::function<void()>, HashFailure> rows[] = {
        {"unchanged", 3 * kSlab, [] {}, HashFailure::None},
        {"grows-mid-file", 10 * kSlab, [&] { ResizeFile(path, 20 * kSlab); }, HashFailure::Changed},
        {"shrinks-mid-file", 10 * kSlab, [&] { ResizeFile(path, 5 * kSlab + kSlab / 2); }, HashFailure::Changed},
        {"shrinks-to-a-slab-boundary", 10 * kSlab, [&] { ResizeFile(path, 4 * kSlab); }, HashFailure::Changed},
        {"grows-after-the-last-full-slab", 2 * kSlab + 10, [&] { ResizeFile(path, 2 * kSlab + 15); }, HashFailure::Changed},
        {"read-error-mid-file", 10 * kSlab, [&] { BreakOpenFile(path); }, HashFailure::ReadError},
    };
    const int descriptorsBefore = OpenDescriptorCount();
    for (const auto& [name, size, change, failure] : rows) {
        SCOPED_TRACE(name);
        WritePatternFile(path, size);
        CLaneFileHasher lanes(kernels.front(), true);
        std::vector<CLaneFileHasher::Finished> finished;
        int moving = 0, beside = 0;  // their tags
        lanes.Start(&moving, zanfo::OpenHandleForReading(path).handle, size, finished);
        lanes.Start(&beside, zanfo::OpenHandleForReading(steady).handle, 5 * kSlab + 3, finished);
        change();
        while (lanes.Busy())
            lanes.Step(finished);
        ASSERT_EQ(finished.size(), 2u);
        for (const CLaneFileHasher::Finished& file : finished) {
            const bool isMoving = file.tag == &moving;
            EXPECT_EQ(file.failure, isMoving ? failure : HashFailure::None);
            EXPECT_EQ(file.digest,
                      isMoving && failure != HashFailure::None ? "" : DigestOf(PatternBytes(isMoving ? size : 5 * kSlab + 3), true));
        }
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
    // As another user who may have no second thread: the lanes read on their own thread.
    const std::string steadyDigest = DigestOf(PatternBytes(5 * kSlab + 3), true);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(CheckedUnprivileged([&] {
                  const rlimit oneProcess{1, 1};
                  CLaneFileHasher alone(kernels.front(), true);
                  std::vector<CLaneFileHasher::Finished> finished;
                  if (setrlimit(RLIMIT_NPROC, &oneProcess) != 0)
                      return false;
                  alone.Start(nullptr, zanfo::OpenHandleForReading(steady).handle, 5 * kSlab + 3, finished);
                  while (alone.Busy())
                      alone.Step(finished);
                  return finished.size() == 1 && finished[0].digest == steadyDigest;
              }),
              std::optional<bool>(true));
}
#endif

}  // namespace
