#include "FileAccess.h"

#include "WideText.h"

#include <cerrno>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zanfo {
namespace {

OpenFailure FailureFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return OpenFailure::NotFound;
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    default:
        return OpenFailure::Other;
    }
}

OpenedFile Failed(OpenFailure failure)
{
    OpenedFile result;
    result.failure = failure;
    return result;
}


}  // namespace

#ifdef _WIN32

bool PathExists(const std::string& utf8Path, OpenFailure& whyNot)
{
    const bool exists = !utf8Path.empty() && _waccess(Widen(utf8Path).c_str(), 0) == 0;
    whyNot = exists ? OpenFailure::None : utf8Path.empty() ? OpenFailure::NotFound : FailureFromErrno(errno);
    return exists;
}

PathEntry LookUpEntry(const std::string& utf8Path)
{
    struct _stat64 info;
    PathEntry entry;
    if (utf8Path.empty() || _wstat64(Widen(utf8Path).c_str(), &info) != 0)
        return entry;
    entry.found = true;
    entry.regular = (info.st_mode & _S_IFMT) == _S_IFREG;
    entry.size = static_cast<std::uint64_t>(info.st_size);
    return entry;
}

OpenedFile OpenRegularFile(const std::string& utf8Path)
{
    const std::wstring wide = Widen(utf8Path);
    struct _stat64 info;
    if (wide.empty() || _wstat64(wide.c_str(), &info) != 0)
        return Failed(FailureFromErrno(errno));
    if ((info.st_mode & _S_IFMT) != _S_IFREG)
        return Failed(OpenFailure::NotRegular);
    std::FILE* stream = _wfopen(wide.c_str(), L"rb");
    if (!stream)
        return Failed(FailureFromErrno(errno));
    if (_fstat64(_fileno(stream), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
        std::fclose(stream);
        return Failed(OpenFailure::NotRegular);
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return {stream, static_cast<std::uint64_t>(info.st_size), OpenFailure::None};
}

std::FILE* OpenForReading(const std::string& utf8Path)
{
    return _wfopen(Widen(utf8Path).c_str(), L"rb");
}

bool ReadAt(std::FILE* stream, std::uint64_t offset, std::size_t length, unsigned char* out)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX) || _fseeki64(stream, static_cast<__int64>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, length, stream) == length;
}

#else

bool PathExists(const std::string& utf8Path, OpenFailure& whyNot)
{
    const bool exists = !utf8Path.empty() && ::access(utf8Path.c_str(), F_OK) == 0;
    whyNot = exists ? OpenFailure::None : utf8Path.empty() ? OpenFailure::NotFound : FailureFromErrno(errno);
    return exists;
}

PathEntry LookUpEntry(const std::string& utf8Path)
{
    struct stat info;
    PathEntry entry;
    if (utf8Path.empty() || ::stat(utf8Path.c_str(), &info) != 0)
        return entry;
    entry.found = true;
    entry.regular = S_ISREG(info.st_mode);
    entry.size = static_cast<std::uint64_t>(info.st_size);
    return entry;
}

OpenedFile OpenRegularFile(const std::string& utf8Path)
{
    struct stat info;
    if (utf8Path.empty() || ::stat(utf8Path.c_str(), &info) != 0)
        return Failed(utf8Path.empty() ? OpenFailure::NotFound : FailureFromErrno(errno));
    if (!S_ISREG(info.st_mode))
        return Failed(OpenFailure::NotRegular);

    // O_NONBLOCK: should the path be swapped for a FIFO after the check above, open()
    // still returns at once, and fstat() below refuses it.
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Failed(FailureFromErrno(errno));
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return Failed(OpenFailure::NotRegular);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::FILE* stream = ::fdopen(fd, "rb");
    if (!stream) {
        ::close(fd);
        return Failed(OpenFailure::Other);
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return {stream, static_cast<std::uint64_t>(info.st_size), OpenFailure::None};
}

std::FILE* OpenForReading(const std::string& utf8Path)
{
    return std::fopen(utf8Path.c_str(), "rb");
}

bool ReadAt(std::FILE* stream, std::uint64_t offset, std::size_t length, unsigned char* out)
{
    const int fd = ::fileno(stream);
    while (length > 0) {
        if (offset > static_cast<std::uint64_t>(INT64_MAX))
            return false;
        const ssize_t count = ::pread(fd, out, length, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        out += count;
        offset += static_cast<std::uint64_t>(count);
        length -= static_cast<std::size_t>(count);
    }
    return true;
}

#endif

bool PathExists(const std::string& utf8Path)
{
    OpenFailure ignored;
    return PathExists(utf8Path, ignored);
}

}  // namespace zanfo
