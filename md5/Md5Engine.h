#pragma once

#include "md5/ChunkReader.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

// Why the last HashFile call returned no digest.
enum class HashFailure {
    None,
    NotFound,        // the path names nothing
    NotRegularFile,  // a folder, FIFO, socket or device
    PermissionDenied,
    OpenFailed,
    Empty,  // size 0
    ReadError,
    Changed,  // more or fewer bytes than the size looked up at open
    Stopped,
    Unexpected,  // out of memory, no thread, or any other exception
};

// MD5 (RFC 1321) of whole files, read in 1 MiB chunks, with progress in percent and a stop
// that another thread may call. Knows nothing of windows: subclasses decide where progress goes.
class CMd5Engine {
public:
    CMd5Engine();
    virtual ~CMd5Engine();
    CMd5Engine(const CMd5Engine&) = delete;
    CMd5Engine& operator=(const CMd5Engine&) = delete;

    // The 32 hex digits of the file's MD5, or "" when the file cannot be hashed or the run was
    // stopped. Runs on the calling thread and calls OnProgress there. Whatever goes wrong during
    // the run (an exception from OnProgress included) ends in "", never in an exception.
    std::string HashFile(std::string path, bool upperCase);

    // The same for an open stream: with the size of a regular file, checked and shown as
    // progress as for HashFile; without, one of unknown length read to its end (a pipe, a device,
    // standard input), which has a digest when empty too. The stream stays open.
    std::string HashStream(std::FILE* stream, std::optional<std::uint64_t> regularFileSize, bool upperCase);

    // Keeps the read buffers from one run to the next: for many files, none allocated each time.
    // (By default a run frees them as it ends.)
    void KeepBuffers(bool keep) { m_keepBuffers = keep; }

    // Ends a run in progress at its next chunk boundary, or at once when it waits for a read,
    // which then fails. Safe from any thread; harmless idle.
    void Stop();

    HashFailure LastFailure() const { return m_failure; }
    // The errno value of the call that failed: the open's for NotFound, PermissionDenied and
    // OpenFailed, the read's for ReadError; else 0.
    int LastError() const { return m_error; }

    // The digest core, public so that a message can be hashed without a file.
    void Init();
    void SetLength(std::uint64_t byteCount);
    void Transform(const unsigned char* block);
    std::string HexDigest(bool upperCase) const;
    // The 32 hex digits of a digest's four words, in MD5's byte order.
    static std::string HexOf(const std::uint32_t (&words)[4], bool upperCase);

    std::int32_t PadLength() const { return m_padLen; }
    const unsigned char* LengthBytes() const { return m_lengthBytes; }

protected:
    // Called before each full chunk (CChunkReader::kChunkSize) is hashed and once with 100 after a successful run.
    virtual void OnProgress(int percent) = 0;

private:
    static std::uint32_t RotateLeft(std::uint32_t x, int n);
    static std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z);
    static std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z);
    static std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z);
    static std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z);
    static void FF(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t);
    static void GG(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t);
    static void HH(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t);
    static void II(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x, int s, std::uint32_t t);

    // Compresses consecutive 64-byte blocks straight from the caller's memory.
    void TransformBlocks(const unsigned char* data, std::size_t blockCount);
    // Hashes m_file to its end; with a size, checks it and reports progress against it.
    bool HashOpenFile(std::optional<std::uint64_t> size);
    void HashTail(const unsigned char* data, std::size_t count);
    void AttachReader(CChunkReader* reader);
    void CloseFile();

    std::uint32_t m_A, m_B, m_C, m_D;
    // Shift amounts, round-interleaved; the steps read them at run time.
    std::int32_t m_S11, m_S21, m_S31, m_S41;
    std::int32_t m_S12, m_S22, m_S32, m_S42;
    std::int32_t m_S13, m_S23, m_S33, m_S43;
    std::int32_t m_S14, m_S24, m_S34, m_S44;
    std::int32_t m_padLen;           // 0x80 marker plus zero bytes before the length bytes: 1..64
    unsigned char m_lengthBytes[8];  // message length in bits, 64-bit little-endian
    std::FILE* m_file;               // the open file of the current run
    std::atomic<bool> m_running;     // cleared by Stop; the run checks it once per chunk
    HashFailure m_failure;
    int m_error = 0;
    CChunkReader::Buffers m_buffers;
    bool m_keepBuffers = false;
    std::mutex m_readerMutex;
    CChunkReader* m_reader = nullptr;  // the current run's, for Stop

    static_assert(sizeof(std::atomic<bool>) == 1 && std::atomic<bool>::is_always_lock_free, "the running flag must be one lock-free byte");
};
