#include "platform/FileAccess.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zanfo {
namespace {

OpenedFile Failed(int error)
{
    return {nullptr, 0, FailureOf(error), error};
}

}  // namespace

int PathError(const std::string& utf8Path)
{
    if (utf8Path.empty())
        return ENOENT;
    return ::access(utf8Path.c_str(), F_OK) == 0 ? 0 : errno;
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
    if (utf8Path.empty())
        return Failed(ENOENT);
    if (::stat(utf8Path.c_str(), &info) != 0)
        return Failed(errno);
    if (!S_ISREG(info.st_mode))
        return {nullptr, 0, OpenFailure::NotRegular, 0};

    // O_NONBLOCK: should the path be swapped for a FIFO after the check above, open() still
    // returns at once, and fstat() below refuses it.
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Failed(errno);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {nullptr, 0, OpenFailure::NotRegular, 0};
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);

    std::FILE* stream = StreamOfHandle(fd);
    if (!stream)
        return Failed(EMFILE);
    return {stream, static_cast<std::uint64_t>(info.st_size), OpenFailure::None, 0};
}

OpenedHandle OpenHandleForReading(const std::string& utf8Path)
{
    // As fopen(path, "rbe") opens it; one open and one fstat, as few calls as md5sum makes.
    const int fd = ::open(utf8Path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        return {kNoFile, 0, FailureOf(error), error};
    }
    struct stat info;
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    return {fd, regular ? static_cast<std::uint64_t>(info.st_size) : 0, regular ? OpenFailure::None : OpenFailure::NotRegular, 0};
}

std::FILE* StreamOfHandle(FileHandle handle)
{
    std::FILE* stream = ::fdopen(static_cast<int>(handle), "rb");
    if (!stream) {
        ::close(static_cast<int>(handle));
        return nullptr;
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

std::int64_t ReadHandle(FileHandle handle, unsigned char* buffer, std::size_t size)
{
    return ::read(static_cast<int>(handle), buffer, size);
}

void CloseFileHandle(FileHandle handle)
{
    ::close(static_cast<int>(handle));
}

void UseOwnFileTable()
{
    // ThreadSanitizer follows descriptors by number, process-wide: two threads' own files of one
    // number would look like one file raced for.
#if defined(__linux__) && !defined(__SANITIZE_THREAD__)
    ::unshare(CLONE_FILES);
#endif
}

std::int64_t ReadSome(std::FILE* stream, unsigned char* buffer, std::size_t size)
{
    return ::read(::fileno(stream), buffer, size);
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

std::FILE* BinaryStandardInput()
{
    return stdin;
}

std::string FileNamePart(const std::string& path)
{
    const std::size_t separator = path.rfind('/');
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ErrorText(int error)
{
    return std::strerror(error);
}

}  // namespace zanfo
