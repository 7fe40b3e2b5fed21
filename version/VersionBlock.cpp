#include "version/VersionBlock.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace {

constexpr std::uint64_t kNodeHeaderSize = 6;  // wLength, wValueLength, wType

std::uint64_t Align4(std::uint64_t offset)
{
    return (offset + 3) & ~std::uint64_t(3);
}

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b)
{
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// UTF-16 code units from start up to a NUL; false when there is no NUL before limit.
bool ReadUtf16UpToNul(const CBoundedBuffer& block, std::uint64_t start, std::uint64_t limit, std::u16string& text, std::uint64_t& afterNul)
{
    for (std::uint64_t at = start; at + 2 <= limit; at += 2) {
        std::uint16_t unit = 0;
        if (!block.ReadU16(at, unit))
            return false;
        if (unit == 0) {
            afterNul = at + 2;
            return true;
        }
        text += static_cast<char16_t>(unit);
    }
    afterNul = limit;
    return false;
}

}  // namespace

CVersionBlock::CVersionBlock(CBoundedBuffer block)
    : m_block(block)
{
}

bool CVersionBlock::ReadNode(std::uint64_t start, std::uint64_t limit, Node& node) const
{
    limit = std::min(limit, m_block.Size());
    if (start > limit || limit - start < kNodeHeaderSize)
        return false;
    if (!m_block.ReadU16(start, node.length) || !m_block.ReadU16(start + 2, node.valueLength) || !m_block.ReadU16(start + 4, node.type))
        return false;
    if (node.length < kNodeHeaderSize)
        return false;
    node.start = start;
    node.end = std::min(start + node.length, limit);

    std::u16string key;
    std::uint64_t afterKey = 0;
    if (!ReadUtf16UpToNul(m_block, start + kNodeHeaderSize, node.end, key, afterKey))
        return false;
    node.key = zanfo::Utf16ToUtf8(key);
    node.valueStart = Align4(afterKey);
    // Windows takes any non-zero wType for text, whose wValueLength counts characters.
    const std::uint64_t valueBytes = node.type != 0 ? std::uint64_t(node.valueLength) * 2 : node.valueLength;
    node.childrenStart = Align4(node.valueStart + valueBytes);
    return true;
}

bool CVersionBlock::FindChild(const Node& parent, const std::string& key, Node& child) const
{
    std::uint64_t at = parent.childrenStart;
    while (at < parent.end && ReadNode(at, parent.end, child)) {
        if (EqualIgnoringAsciiCase(child.key, key))
            return true;
        at = Align4(child.start + child.length);  // length is at least the header: always moves on
    }
    return false;
}

bool CVersionBlock::FindNode(const std::string& subBlock, Node& node) const
{
    if (!ReadNode(0, m_block.Size(), node))
        return false;
    std::size_t partStart = 0;
    while (partStart <= subBlock.size()) {
        std::size_t partEnd = subBlock.find('\\', partStart);
        if (partEnd == std::string::npos)
            partEnd = subBlock.size();
        if (partEnd > partStart) {
            Node child;
            if (!FindChild(node, subBlock.substr(partStart, partEnd - partStart), child))
                return false;
            node = child;
        }
        partStart = partEnd + 1;
    }
    return true;
}

bool CVersionBlock::QueryText(const std::string& subBlock, std::string& text) const
{
    Node node;
    if (!FindNode(subBlock, node))
        return false;
    text.clear();
    if (node.valueLength == 0)
        return true;
    // The length is meant in characters but many compilers store bytes: trust only the node's end.
    const std::uint64_t limit = std::min(node.end, node.valueStart + std::uint64_t(node.valueLength) * 2);
    std::u16string value;
    std::uint64_t ignored = 0;
    ReadUtf16UpToNul(m_block, node.valueStart, limit, value, ignored);
    text = zanfo::Utf16ToUtf8(value);
    return true;
}

bool CVersionBlock::QueryBinary(const std::string& subBlock, CBoundedBuffer& value) const
{
    Node node;
    if (!FindNode(subBlock, node))
        return false;
    const std::uint64_t available = node.end > node.valueStart ? node.end - node.valueStart : 0;
    value = m_block.Clip(node.valueStart, std::min<std::uint64_t>(node.valueLength, available));
    return true;
}
