#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Files by name. Paths are UTF-8 (on Windows the lossless form of the UTF-16 name, which reaches
// the file call unchanged). Failures are errno values on every system, with md5sum's words.
namespace zanfo {

// Why a path could not be opened as a regular file.
enum class OpenFailure {
    None,
    NotFound,
    NotRegular,
    PermissionDenied,
    Other,
};

// A regular file opened for raw binary reading, with its size at the moment it was opened.
struct OpenedFile {
    std::FILE* stream = nullptr;
    std::uint64_t size = 0;
    OpenFailure failure = OpenFailure::None;
    int error = 0;  // the errno value of the call that failed; 0 for one that opened or is no regular file
};

// The kind of failure an errno value of a lookup or an open stands for.
OpenFailure FailureOf(int error);

// 0 when the path names anything at all (a file, a folder, a device); else the errno value of
// the lookup that failed: ENOENT, EACCES, ENOTDIR, ELOOP, ENAMETOOLONG, ...
int PathError(const std::string& utf8Path);
bool PathExists(const std::string& utf8Path);

// What a path's entry says: its own, or for a link, that of the file it leads to.
struct PathEntry {
    bool found = false;    // the path leads to an entry
    bool regular = false;  // a regular file, not a folder, FIFO, socket or device
    std::uint64_t size = 0;
};
PathEntry LookUpEntry(const std::string& utf8Path);

// Opens the path for reading only when it names a regular file. FIFOs, sockets, devices and
// folders are refused without ever being opened in a way that could block. The stream is
// unbuffered: callers read large chunks and stdio's own buffer would only add a copy.
OpenedFile OpenRegularFile(const std::string& utf8Path);

// Opens any path for binary reading, as fopen does (a FIFO waits for its writer): for tools
// that read devices and pipes too. For what is no regular file the stream is there with the
// failure NotRegular and size 0; the stream is unbuffered, as ReadSome reads it.
OpenedFile OpenForReading(const std::string& utf8Path);

// A file opened by its system handle alone (a descriptor on POSIX, a HANDLE on Windows), with
// no stdio stream: stdio keeps all its streams in one list under one lock, which threads that
// open many small files at once would queue for.
using FileHandle = std::intptr_t;
constexpr FileHandle kNoFile = -1;
struct OpenedHandle {
    FileHandle handle = kNoFile;
    std::uint64_t size = 0;
    OpenFailure failure = OpenFailure::None;  // NotRegular for what is no regular file, opened all the same
    int error = 0;
};
// OpenForReading's open, without the stream.
OpenedHandle OpenHandleForReading(const std::string& utf8Path);
// An unbuffered stream for the handle, which then owns it; null, with the handle closed, when
// none can be had.
std::FILE* StreamOfHandle(FileHandle handle);
// ReadSome on a handle.
std::int64_t ReadHandle(FileHandle handle, unsigned char* buffer, std::size_t size);
void CloseFileHandle(FileHandle handle);

// For a thread that opens many files: gives it a table of open files of its own, a copy of the
// process's, where the system has one per process (Linux), so that its opens, reads and closes
// take no lock and no count that the other threads share. Files open before stay usable; what
// it opens afterwards is its own and that of the threads it then starts. Elsewhere, or where a
// sandbox refuses it, nothing changes but the speed.
void UseOwnFileTable();

// One read of at most `size` bytes, straight from the stream's file: the count read, 0 at its
// end, -1 with errno set on a failure. A short read of a regular file is its end.
std::int64_t ReadSome(std::FILE* stream, unsigned char* buffer, std::size_t size);

// Reads exactly length bytes at offset, without moving the stream's position. False on a short
// read or an error.
bool ReadAt(std::FILE* stream, std::uint64_t offset, std::size_t length, unsigned char* out);

// Standard input, set to hand over its bytes unchanged.
std::FILE* BinaryStandardInput();

// The name part of a path: the text after its last separator, empty when it ends in one.
std::string FileNamePart(const std::string& path);

// The words for an errno value, as md5sum gives them on Linux, on every system.
std::string ErrorText(int error);

}  // namespace zanfo
