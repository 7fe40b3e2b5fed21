#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed with everything in it when
// the object goes away.
class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

// Deterministic test data: byte i is ((i * 31) ^ (i >> 9) ^ (i >> 20)) & 0xFF, so that no two
// mebibyte chunks of a file are alike. Expected digests of its prefixes come from Python's hashlib.
std::vector<unsigned char> PatternBytes(std::size_t count);

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
// The whole file's bytes ("" when it cannot be read).
std::string ReadFile(const std::string& path);
// Both return the path they wrote.
std::string WritePatternFile(const std::string& path, std::size_t count);

// A file of the given size that reads as zeros and takes no disk space.
std::string MakeSparseFile(const std::string& path, std::uint64_t size);

// Cuts the file, or makes it longer with zeros.
void ResizeFile(const std::string& path, std::uint64_t size);

// How many file descriptors this process has open, to catch a file left open.
int OpenDescriptorCount();

// A pipe whose writer is there and sends nothing: a read of it blocks, as one of a network share
// that went away does, until the writer goes.
class CSilentPipe {
public:
    CSilentPipe();
    ~CSilentPipe();
    CSilentPipe(const CSilentPipe&) = delete;
    CSilentPipe& operator=(const CSilentPipe&) = delete;

    std::FILE* ReadEnd() const { return m_readEnd; }
    void CloseWriter();

private:
    CTempDir m_dir;
    std::FILE* m_readEnd = nullptr;
    std::intptr_t m_writer = -1;  // a descriptor, or a Windows handle
};

#ifndef _WIN32
// Runs `check` in a child process as an unprivileged user (root becomes 'nobody'), for
// permission checks that root would pass. The child's answer; nullopt when it could not run.
std::optional<bool> CheckedUnprivileged(const std::function<bool()>& check);
#endif
