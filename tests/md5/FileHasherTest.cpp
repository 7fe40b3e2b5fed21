#include "RecordingEngine.h"
#include "TempDir.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::uint64_t kMiB = 1048576;

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST(FileHasher, PatternFilesHashToTheirStandardDigests)
{
    const std::pair<std::size_t, std::string> cases[] = {
        {1, "93B885ADFE0DA089CDF634904FD59F71"},          {55, "FE4C050C7A3D8B0C93D5BAAE6CA77FA1"},
        {56, "6CF06C0659A33472A3005A497C53B3AB"},         {57, "82881E76658F0CFF3E26728EC7381BB1"},
        {63, "B45D7746939FD1F4CE3D417B18ED2635"},         {64, "A36738582497D785E6C27F09C9B8A15D"},
        {65, "AC810D9D23A3425A15ADB534769F920B"},         {1000, "298B7796998306E58F3FF945F91D604C"},
        {kMiB - 1, "EC56E41D237E59D83D2BEC43EB857734"},   {kMiB, "A66BEFC61DC4773A928BD6958403E2CE"},
        {kMiB + 1, "D141564CE5AD08F215F94CB7F7C642E3"},   {2 * kMiB, "15BA1CB3CC4B5E72B68C98DD2DA9225A"},
        {2 * kMiB + 10, "3BD5308D7BCFC12BBA904D7B36D949CC"},
    };
    CTempDir dir;
    CRecordingEngine engine;
    const int descriptorsBefore = OpenDescriptorCount();
    for (const auto& [size, digest] : cases) {
        const std::string path = dir.File("pattern-" + std::to_string(size));
        WritePatternFile(path, size);
        EXPECT_EQ(engine.HashFile(path, true), digest) << size << " bytes";
        EXPECT_EQ(engine.LastFailure(), HashFailure::None);
        EXPECT_EQ(engine.HashFile(path, false), Lower(digest)) << size << " bytes, lower case";
    }
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);
}

TEST(FileHasher, ProgressComesBeforeEachFullChunkAndOnceAtTheEnd)
{
    const std::pair<std::uint64_t, std::vector<int>> cases[] = {
        {1048575, {100}},
        {1048576, {100, 100}},
        {1048577, {100, 100}},
        {20485760, {5, 10, 15, 20, 25, 30, 35, 40, 46, 51, 56, 61, 66, 71, 76, 81, 87, 92, 97, 100}},
        {20971520, {5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100, 100}},
    };
    const std::pair<std::uint64_t, const char*> zeroDigests[] = {
        {1048575, "E57598CD670284CF7D09E16ED9D4B2AC"}, {1048576, "B6D81B360A5672D80C27430F39153E2C"},
        {1048577, "9587B149FF392CA6887A05D921E73E72"}, {20485760, "C05B97BD323B1E1AF98EFD93AC0B09BD"},
        {20971520, "8F4E33F3DC3E414FF94E5FB6905CBA8C"},
    };
    CTempDir dir;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [size, expected] = cases[i];
        const std::string path = dir.File("zeros-" + std::to_string(size));
        MakeSparseFile(path, size);
        CRecordingEngine engine;
        EXPECT_EQ(engine.HashFile(path, true), zeroDigests[i].second) << size;
        EXPECT_EQ(engine.progress, expected) << size;
    }
}

TEST(FileHasher, FailuresGiveAnEmptyDigestAndLeaveNothingOpen)
{
    CTempDir dir;
    const std::string emptyFile = dir.File("empty");
    WriteBytes(emptyFile, {});
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

    const std::pair<std::string, HashFailure> cases[] = {
        {dir.File("missing"), HashFailure::NotFound},
        {"", HashFailure::NotFound},
        {emptyFile, HashFailure::Empty},
        {dir.Path(), HashFailure::NotRegularFile},
        {fifo, HashFailure::NotRegularFile},  // nobody writes to it: opening for reading must not wait
        {"/dev/null", HashFailure::NotRegularFile},
    };
    CRecordingEngine engine;
    const int descriptorsBefore = OpenDescriptorCount();
    for (const auto& [path, failure] : cases) {
        EXPECT_EQ(engine.HashFile(path, true), "") << path;
        EXPECT_EQ(engine.LastFailure(), failure) << path;
        EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore) << path;
    }
    EXPECT_TRUE(engine.progress.empty());
}

TEST(FileHasher, UnreadableFileIsRefused)
{
    CTempDir dir;
    const std::string path = dir.File("secret");
    WritePatternFile(path, 100);
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    if (geteuid() != 0) {
        CRecordingEngine engine;
        EXPECT_EQ(engine.HashFile(path, true), "");
        EXPECT_EQ(engine.LastFailure(), HashFailure::PermissionDenied);
        return;
    }
    // Root reads everything: try again as an unprivileged user in a child process.
    const passwd* nobody = getpwnam("nobody");
    if (!nobody)
        GTEST_SKIP() << "running as root and there is no user 'nobody' to drop privileges to";
    ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
            _exit(3);
        CRecordingEngine engine;
        const bool refused = engine.HashFile(path, true).empty() && engine.LastFailure() == HashFailure::PermissionDenied;
        _exit(refused ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "3 means privileges could not be dropped";
}

TEST(FileHasher, AFileThatChangesWhileReadIsNeverGivenADigest)
{
    CTempDir dir;
    const std::string path = dir.File("moving");
    struct Case {
        const char* what;
        std::uint64_t size;
        int atCall;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"grows mid-file", 3 * kMiB, 1, [&] { AppendBytes(path, kMiB); }},
        {"shrinks mid-file", 3 * kMiB, 1, [&] { TruncateFile(path, kMiB + kMiB / 2); }},
        {"grows after the last full chunk", 2 * kMiB + 10, 2, [&] { AppendBytes(path, 5); }},
        {"shrinks to a chunk boundary", 3 * kMiB, 1, [&] { TruncateFile(path, 2 * kMiB); }},
    };
    for (const Case& c : cases) {
        WritePatternFile(path, c.size);
        CRecordingEngine engine;
        engine.onProgress = [&](int call, int) {
            if (call == c.atCall)
                c.change();
        };
        EXPECT_EQ(engine.HashFile(path, true), "") << c.what;
        EXPECT_EQ(engine.LastFailure(), HashFailure::Changed) << c.what;
        for (const int percent : engine.progress)
            EXPECT_LE(percent, 100) << c.what;
    }
}

TEST(FileHasher, AnExceptionFromProgressEndsTheRunQuietly)
{
    CTempDir dir;
    const std::string path = dir.File("data");
    WritePatternFile(path, 3 * kMiB);
    CRecordingEngine engine;
    engine.onProgress = [](int call, int) {
        if (call == 2)
            throw std::runtime_error("receiver went away");
    };
    const int descriptorsBefore = OpenDescriptorCount();
    EXPECT_EQ(engine.HashFile(path, true), "");
    EXPECT_EQ(engine.LastFailure(), HashFailure::Unexpected);
    EXPECT_EQ(OpenDescriptorCount(), descriptorsBefore);

    engine.onProgress = nullptr;
    EXPECT_EQ(engine.HashFile(path, true).size(), 32u) << "the engine is usable after a failed run";
}

TEST(FileHasher, OneEngineServesManyRunsAndAChineseName)
{
    CTempDir dir;
    const std::string first = dir.File("第一个文件.bin");
    const std::string second = dir.File("second");
    WritePatternFile(first, 2 * kMiB);
    WritePatternFile(second, 57);
    CRecordingEngine engine;
    engine.Stop();  // idle: changes nothing
    EXPECT_EQ(engine.HashFile(first, true), "15BA1CB3CC4B5E72B68C98DD2DA9225A");
    EXPECT_EQ(engine.HashFile(second, true), "82881E76658F0CFF3E26728EC7381BB1");
    EXPECT_EQ(engine.HashFile(first, true), "15BA1CB3CC4B5E72B68C98DD2DA9225A");
}

}  // namespace
