#pragma once

#include "version/BoundedBuffer.h"

#include <cstdint>
#include <string>

// Looks values up in a VS_VERSIONINFO block by sub-block path, the way the Windows version
// API does: the path is split at backslashes, empty parts are skipped, each part names a child
// by its key compared without regard to ASCII case, and children sit at 32-bit alignment
// counted from the start of the block. Nothing is read outside the block or outside the node
// being read; a wLength below the header size ends a walk.
class CVersionBlock {
public:
    explicit CVersionBlock(CBoundedBuffer block);

    // A text value as UTF-8, read up to its NUL and never past its node.
    bool QueryText(const std::string& subBlock, std::string& text) const;

    // A binary value; its length is in bytes.
    bool QueryBinary(const std::string& subBlock, CBoundedBuffer& value) const;

private:
    struct Node {
        std::uint64_t start;
        std::uint64_t end;  // clipped to the parent
        std::uint16_t length;
        std::uint16_t valueLength;
        std::uint16_t type;  // 1 text, 0 binary
        std::string key;
        std::uint64_t valueStart;
        std::uint64_t childrenStart;
    };

    bool ReadNode(std::uint64_t start, std::uint64_t limit, Node& node) const;
    bool FindChild(const Node& parent, const std::string& key, Node& child) const;
    bool FindNode(const std::string& subBlock, Node& node) const;

    CBoundedBuffer m_block;
};
