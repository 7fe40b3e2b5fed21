#include "version/BoundedBuffer.h"

CBoundedBuffer::CBoundedBuffer(const unsigned char* data, std::uint64_t size)
    : m_data(data)
    , m_size(data ? size : 0)
{
}

bool CBoundedBuffer::Contains(std::uint64_t offset, std::uint64_t length) const
{
    // Written so that no sum can wrap, whatever the two values.
    return offset <= m_size && length <= m_size - offset;
}

bool CBoundedBuffer::ReadU16(std::uint64_t offset, std::uint16_t& value) const
{
    if (!Contains(offset, 2))
        return false;
    const unsigned char* p = m_data + offset;
    value = static_cast<std::uint16_t>(p[0] | p[1] << 8);
    return true;
}

bool CBoundedBuffer::ReadU32(std::uint64_t offset, std::uint32_t& value) const
{
    if (!Contains(offset, 4))
        return false;
    const unsigned char* p = m_data + offset;
    value = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
    return true;
}

bool CBoundedBuffer::Slice(std::uint64_t offset, std::uint64_t length, CBoundedBuffer& slice) const
{
    if (!Contains(offset, length))
        return false;
    slice = CBoundedBuffer(m_data + offset, length);
    return true;
}

CBoundedBuffer CBoundedBuffer::Clip(std::uint64_t offset, std::uint64_t length) const
{
    if (offset >= m_size)
        return {};
    const std::uint64_t available = m_size - offset;
    return CBoundedBuffer(m_data + offset, length < available ? length : available);
}
