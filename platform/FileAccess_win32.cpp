#include "platform/FileAccess.h"

#include "platform/WideText.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <io.h>

#include "platform/Win32Api.h"

namespace zanfo {
namespace {

// A Win32 error as the errno value md5sum would report for it.
int ErrnoOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
        return EACCES;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EBUSY;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_CANT_RESOLVE_FILENAME:
        return ELOOP;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    default:
        return EIO;
    }
}

OpenedFile Failed(int error)
{
    return {nullptr, 0, FailureOf(error), error};
}

// Read-only, and sharing everything: the user may go on writing, renaming or deleting the
// file while it is hashed; a change of size is caught by the hasher.
HANDLE OpenShared(const std::wstring& path, DWORD access, DWORD flags)
{
    return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, flags,
                       nullptr);
}

// The attributes of the path itself, or the errno value of the failed look-up.
std::pair<DWORD, int> Attributes(const std::wstring& path)
{
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return {attributes, 0};
    return {attributes, path.empty() ? ENOENT : ErrnoOf(GetLastError())};
}

}  // namespace

int PathError(const std::string& utf8Path)
{
    return Attributes(FilePath(utf8Path)).second;
}

PathEntry LookUpEntry(const std::string& utf8Path)
{
    // From the file itself, through a handle: the attributes of a symbolic link are the link's
    // own, size 0. No access is asked for, so no sharing mode or ACL that forbids reading
    // stands in the way; FILE_FLAG_BACKUP_SEMANTICS opens folders too.
    PathEntry entry;
    const std::wstring path = FilePath(utf8Path);
    const HANDLE handle = path.empty() ? INVALID_HANDLE_VALUE : OpenShared(path, 0, FILE_FLAG_BACKUP_SEMANTICS);
    BY_HANDLE_FILE_INFORMATION info;
    if (handle == INVALID_HANDLE_VALUE)
        return entry;
    if (GetFileInformationByHandle(handle, &info)) {
        entry.found = true;
        entry.regular = GetFileType(handle) == FILE_TYPE_DISK && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        entry.size = static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    }
    CloseHandle(handle);
    return entry;
}

OpenedFile OpenRegularFile(const std::string& utf8Path)
{
    const std::wstring path = FilePath(utf8Path);
    const auto [attributes, error] = Attributes(path);
    if (error != 0)
        return Failed(error);
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return {nullptr, 0, OpenFailure::NotRegular, 0};
    const HANDLE handle = OpenShared(path, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE)
        return Failed(ErrnoOf(GetLastError()));
    LARGE_INTEGER size;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return {nullptr, 0, OpenFailure::NotRegular, 0};
    }
    std::FILE* stream = StreamOfHandle(reinterpret_cast<FileHandle>(handle));
    if (!stream)
        return Failed(EMFILE);
    return {stream, static_cast<std::uint64_t>(size.QuadPart), OpenFailure::None, 0};
}

OpenedHandle OpenHandleForReading(const std::string& utf8Path)
{
    // A folder reads as one on Linux: it opens, and its first read fails.
    const std::wstring path = FilePath(utf8Path);
    const auto [attributes, error] = Attributes(path);
    if (error != 0 || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {kNoFile, 0, FailureOf(error != 0 ? error : EISDIR), error != 0 ? error : EISDIR};
    const HANDLE handle = OpenShared(path, GENERIC_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (handle == INVALID_HANDLE_VALUE) {
        const int openError = ErrnoOf(GetLastError());
        return {kNoFile, 0, FailureOf(openError), openError};
    }
    LARGE_INTEGER size{};
    const bool regular = GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &size);
    return {reinterpret_cast<FileHandle>(handle), regular ? static_cast<std::uint64_t>(size.QuadPart) : 0,
            regular ? OpenFailure::None : OpenFailure::NotRegular, 0};
}

std::FILE* StreamOfHandle(FileHandle handle)
{
    const int descriptor = _open_osfhandle(handle, _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(reinterpret_cast<HANDLE>(handle));
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (!stream) {
        _close(descriptor);
        return nullptr;
    }
    std::setvbuf(stream, nullptr, _IONBF, 0);
    return stream;
}

std::int64_t ReadHandle(FileHandle handle, unsigned char* buffer, std::size_t size)
{
    DWORD count = 0;
    if (ReadFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &count, nullptr))
        return count;
    const DWORD error = GetLastError();
    if (error == ERROR_HANDLE_EOF || error == ERROR_BROKEN_PIPE)
        return 0;
    errno = ErrnoOf(error);
    return -1;
}

void CloseFileHandle(FileHandle handle)
{
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

void UseOwnFileTable()
{
    // Windows keeps one handle table per process and has no such choice.
}

std::int64_t ReadSome(std::FILE* stream, unsigned char* buffer, std::size_t size)
{
    return _read(_fileno(stream), buffer, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
}

bool ReadAt(std::FILE* stream, std::uint64_t offset, std::size_t length, unsigned char* out)
{
    if (offset > static_cast<std::uint64_t>(INT64_MAX) || _fseeki64(stream, static_cast<__int64>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, length, stream) == length;
}

std::FILE* BinaryStandardInput()
{
    // Text mode would turn CR LF into LF and end the input at a Ctrl-Z.
    _setmode(_fileno(stdin), _O_BINARY);
    return stdin;
}

std::string FileNamePart(const std::string& path)
{
    const std::size_t separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string ErrorText(int error)
{
    // The C runtime's own words differ ("Resource device" for EBUSY): those of glibc, which
    // md5sum prints, for every value this program reports.
    static const std::pair<int, const char*> kTexts[] = {
        {ENOENT, "No such file or directory"},
        {EACCES, "Permission denied"},
        {EBUSY, "Device or resource busy"},
        {ENAMETOOLONG, "File name too long"},
        {ENOTDIR, "Not a directory"},
        {EISDIR, "Is a directory"},
        {ELOOP, "Too many levels of symbolic links"},
        {EIO, "Input/output error"},
        {ENOMEM, "Cannot allocate memory"},
        {EMFILE, "Too many open files"},
        {ENOSPC, "No space left on device"},
        {EPIPE, "Broken pipe"},
        {EINTR, "Interrupted system call"},
    };
    for (const auto& [value, text] : kTexts)
        if (value == error)
            return text;
    return std::strerror(error);
}

}  // namespace zanfo
