#include "platform/FileAccess.h"

#include "platform/WideText.h"

#include <fcntl.h>
#include <io.h>

#include "platform/Win32Api.h"

namespace zanfo {
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
        return {nullptr, 0, OpenFailure::NotFound};
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {nullptr, 0, FailureFromWin32(GetLastError())};
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
        return {nullptr, 0, OpenFailure::NotRegular};
    const HANDLE handle = OpenShared(wide);
    if (handle == INVALID_HANDLE_VALUE)
        return {nullptr, 0, FailureFromWin32(GetLastError())};
    LARGE_INTEGER size;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size)) {
        CloseHandle(handle);
        return {nullptr, 0, OpenFailure::NotRegular};
    }
    std::FILE* stream = StreamOf(handle);
    if (!stream)
        return {nullptr, 0, OpenFailure::Other};
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

}  // namespace zanfo
