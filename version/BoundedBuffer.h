#pragma once

#include <cstddef>
#include <cstdint>

// A read-only view of bytes that came from an untrusted file. Every read names an offset and
// a length, is checked against the view in 64-bit arithmetic, and fails instead of reading
// outside it: there is no way to get at the bytes without the check.
class CBoundedBuffer {
public:
    CBoundedBuffer() = default;
    CBoundedBuffer(const unsigned char* data, std::uint64_t size);

    std::uint64_t Size() const { return m_size; }
    bool Contains(std::uint64_t offset, std::uint64_t length) const;

    bool ReadU16(std::uint64_t offset, std::uint16_t& value) const;
    bool ReadU32(std::uint64_t offset, std::uint32_t& value) const;

    // The bytes [offset, offset + length) as a view of their own.
    bool Slice(std::uint64_t offset, std::uint64_t length, CBoundedBuffer& slice) const;

    // Up to length bytes from offset, fewer where the view ends; an empty view past the end.
    CBoundedBuffer Clip(std::uint64_t offset, std::uint64_t length) const;

private:
    const unsigned char* m_data = nullptr;
    std::uint64_t m_size = 0;
};
