#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

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
};

// True when the path names anything at all: a file, a folder, a device. Paths are UTF-8.
bool PathExists(const std::string& utf8Path);
// The same, saying why not: NotFound, or PermissionDenied when a folder on the way (or the
// path itself) may not be looked into.
bool PathExists(const std::string& utf8Path, OpenFailure& whyNot);

// What a path's own directory entry says, without opening it.
struct PathEntry {
    bool found = false;    // the path has an entry of its own
    bool regular = false;  // a regular file, not a folder, FIFO, socket or device
    std::uint64_t size = 0;
};
PathEntry LookUpEntry(const std::string& utf8Path);

// Opens the path for reading only when it names a regular file. FIFOs, sockets, devices and
// folders are refused without ever being opened in a way that could block. The stream is
// unbuffered: callers read large chunks and stdio's own buffer would only add a copy.
OpenedFile OpenRegularFile(const std::string& utf8Path);

// Opens any path for binary reading, as fopen does (a FIFO waits for its writer): for tools
// that read devices and pipes too. nullptr with errno set when it cannot.
std::FILE* OpenForReading(const std::string& utf8Path);

// Reads exactly length bytes at offset, without moving the stream's position. False on a short
// read or an error.
bool ReadAt(std::FILE* stream, std::uint64_t offset, std::size_t length, unsigned char* out);

// Standard input, set to hand over its bytes unchanged.
std::FILE* BinaryStandardInput();

// The name part of a path: the text after its last separator, empty when it ends in one.
std::string FileNamePart(const std::string& path);

}  // namespace zanfo
