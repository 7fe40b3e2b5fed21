#include "platform/FileAccess.h"

#include "platform/WideText.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zanfo {
namespace {

#ifndef _WIN32
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
#endif

OpenedFile Failed(OpenFailure failure)
{
    OpenedFile result;
    result.failure = failure;
    return result;
}


}  // namespace

#ifdef _WIN32

namespace {

OpenFailure FailureFromWin32(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE:
        return OpenFailure::NotFound;
    case ERROR_ACCESS_DENIED:
        return OpenFailure::PermissionDenied;
    default:
        return OpenFailure::Other;
    }
}

// Read-only, and sharing everything: the user may go on writing, renaming or deleting the
// file while it is hashed; a change of size is caught by the hasher.
HANDLE OpenShared(const std::wstring& path)
{
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

std::FILE* StreamOf(HANDLE handle)
{
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (!stream)
        _close(descriptor);
    return stream;
}

}  // namespace

bool PathExists(const std::string& utf8Path, OpenFailure& whyNot)
{
    const bool exists = !utf8Path.empty() && GetFileAttributesW(Widen(utf8Path).c_str()) != INVALID_FILE_ATTRIBUTES;
    whyNot = exists ? OpenFailure::None : utf8Path.empty() ? OpenFailure::NotFound : FailureFromWin32(GetLastError());
    return exists;
}

PathEntry LookUpEntry(const std::string& utf8Path)
{
    // The attributes, unlike _wstat, also answer for a folder named with a trailing separator.
    WIN32_FILE_ATTRIBUTE_DATA data;
    PathEntry entry;
    if (utf8Path.empty() || !GetFileAttributesExW(Widen(utf8Path).c_str(), GetFileExInfoStandard, &data))
        return entry;
    entry.found = true;
    entry.regular = !(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE));
    entry.size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    return entry;
}

OpenedFile OpenRegularFile(const std::string& utf8Path)
{
    const std::wstring wide = Widen(utf8Path);
    if (wide.empty())
        return Failed(OpenFailure::NotFound);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return Failed(FailureFromWin32(GetLastError()));
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return Failed(OpenFailure::NotRegular);
    const HANDLE handle = OpenShared(wide);
    if (handle == INVALID_HANDLE_VALUE)
        return Failed(FailureFromWin32(GetLastError()));
    LARGE_INTEGER size;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return Failed(OpenFailure::NotRegular);
    }
    std::FILE* stream = StreamOf(handle);
    if (!stream)
        return Failed(OpenFailure::Other);
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return {stream, static_cast<std::uint64_t>(size.QuadPart), OpenFailure::None};
}

std::FILE* OpenForReading(const std::string& utf8Path)
{
    const HANDLE handle = OpenShared(Widen(utf8Path));
    return handle == INVALID_HANDLE_VALUE ? nullptr : StreamOf(handle);
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
