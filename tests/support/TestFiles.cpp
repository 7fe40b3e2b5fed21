#include "tests/support/TestFiles.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/Win32Api.h"
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// On Windows the name exactly as given, "dot." or "nul.txt" too: through the "\\?\" form.
fs::path Verbatim(const std::string& path)
{
#ifdef _WIN32
    std::string extended = path.size() > 2 && path[1] == ':' ? "\\\\?\\" + path : path;
    std::replace(extended.begin(), extended.end(), '/', '\\');
    return fs::u8path(extended);
#else
    return fs::u8path(path);
#endif
}

}  // namespace

CTempDir::CTempDir()
{
    // A random name, taken only if nobody has it (create_directory reports an existing one).
    std::random_device seed;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("zanfo-test-" + std::to_string(seed()));
        std::error_code error;
        if (fs::create_directory(candidate, error))
            m_path = candidate.u8string();
    }
    if (m_path.empty())
        throw std::runtime_error("cannot create a temporary folder");
}

CTempDir::~CTempDir()
{
    std::error_code ignored;
    fs::permissions(Verbatim(m_path), fs::perms::owner_all, ignored);
    fs::remove_all(Verbatim(m_path), ignored);
}

std::vector<unsigned char> PatternBytes(std::size_t count)
{
    std::vector<unsigned char> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(((i * 31) ^ (i >> 9) ^ (i >> 20)) & 0xFF);
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(Verbatim(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

CSilentPipe::~CSilentPipe()
{
    std::fclose(m_readEnd);
    CloseWriter();
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string WritePatternFile(const std::string& path, std::size_t count)
{
    WriteBytes(path, PatternBytes(count));
    return path;
}

std::string MakeSparseFile(const std::string& path, std::uint64_t size)
{
    std::ofstream(fs::u8path(path), std::ios::binary | std::ios::trunc).close();
    ResizeFile(path, size);
    return path;
}

void ResizeFile(const std::string& path, std::uint64_t size) { fs::resize_file(fs::u8path(path), size); }

#ifdef _WIN32
CSilentPipe::CSilentPipe()
{
    const std::wstring name = L"\\\\.\\pipe\\" + fs::u8path(m_dir.Path()).filename().wstring();
    m_writer = reinterpret_cast<std::intptr_t>(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    const HANDLE reader = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    m_readEnd = _fdopen(_open_osfhandle(reinterpret_cast<std::intptr_t>(reader), _O_RDONLY | _O_BINARY), "rb");
}

void CSilentPipe::CloseWriter()
{
    if (m_writer != -1)
        CloseHandle(reinterpret_cast<HANDLE>(std::exchange(m_writer, -1)));
}

int OpenDescriptorCount()
{
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    return static_cast<int>(handles);
}
#else
CSilentPipe::CSilentPipe()
{
    const std::string path = m_dir.File("pipe");
    mkfifo(path.c_str(), 0600);
    m_writer = open(path.c_str(), O_RDWR);  // both ends: the open for reading below returns at once
    m_readEnd = std::fopen(path.c_str(), "rb");
}

void CSilentPipe::CloseWriter()
{
    if (m_writer != -1)
        close(static_cast<int>(std::exchange(m_writer, -1)));
}

int OpenDescriptorCount()
{
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<int>(std::distance(entries, std::filesystem::directory_iterator()));
}

std::optional<bool> CheckedUnprivileged(const std::function<bool()>& check)
{
    const passwd* nobody = geteuid() == 0 ? getpwnam("nobody") : nullptr;
    if (geteuid() == 0 && !nobody)
        return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        if (nobody && (setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0))
            _exit(3);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}
#endif
