#include "tests/support/PeImageBuilder.h"

#include <utility>

namespace {

// Little-endian values of `size` bytes, written in place or appended.
void Put(Bytes& out, std::size_t at, std::uint32_t value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}
void Append(Bytes& out, std::uint32_t value, int size = 4)
{
    out.resize(out.size() + static_cast<std::size_t>(size));
    Put(out, out.size() - static_cast<std::size_t>(size), value, size);
}
void Align(Bytes& out) { out.resize((out.size() + 3) / 4 * 4, 0); }
void AppendUtf16(Bytes& out, const std::u16string& text, bool withNul)
{
    for (const char16_t unit : text)
        Append(out, unit, 2);
    if (withNul)
        Append(out, 0, 2);
}

void WriteNode(const VersionNode& node, Bytes& out)
{
    const std::size_t start = out.size();
    Append(out, 0);  // wLength and wValueLength, filled in below
    Append(out, node.type.value_or(node.isText ? 1 : 0), 2);
    AppendUtf16(out, node.key, true);
    Align(out);
    std::size_t valueLength = 0;
    if (node.isText && (!node.text.empty() || node.omitNul)) {
        AppendUtf16(out, node.text, !node.omitNul);
        valueLength = node.text.size() + (node.omitNul ? 0 : 1);
    } else if (!node.binary.empty()) {
        out.insert(out.end(), node.binary.begin(), node.binary.end());
        valueLength = node.binary.size();
    }
    for (const VersionNode& child : node.children) {
        Align(out);
        WriteNode(child, out);
    }
    Put(out, start, static_cast<std::uint32_t>(out.size() - start), 2);
    Put(out, start + 2, node.valueLength.value_or(static_cast<std::uint16_t>(valueLength)), 2);
}

VersionNode Node(std::u16string key, bool isText)
{
    VersionNode node;
    node.key = std::move(key);
    node.isText = isText;
    return node;
}

}  // namespace

VersionNode TextNode(std::u16string key, std::u16string text)
{
    VersionNode node = Node(std::move(key), true);
    node.text = std::move(text);
    return node;
}

VersionNode BlockNode(std::u16string key, std::vector<VersionNode> children)
{
    VersionNode node = Node(std::move(key), true);
    node.children = std::move(children);
    return node;
}

Bytes TranslationBytes(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs)
{
    Bytes bytes;
    for (const auto& [language, codePage] : pairs)
        Append(bytes, language | static_cast<std::uint32_t>(codePage) << 16);
    return bytes;
}

VersionNode StandardVersionInfo(std::u16string tableKey, std::vector<VersionNode> strings, std::optional<Bytes> translation)
{
    VersionNode root = Node(u"VS_VERSION_INFO", false);
    root.binary.assign(52, 0);
    Put(root.binary, 0, 0xFEEF04BD);
    Put(root.binary, 4, 0x00010000);
    root.children.push_back(BlockNode(u"StringFileInfo", {BlockNode(std::move(tableKey), std::move(strings))}));
    if (translation) {
        VersionNode var = Node(u"Translation", false);
        var.binary = *translation;
        var.valueLength = static_cast<std::uint16_t>(translation->size());
        root.children.push_back(BlockNode(u"VarFileInfo", {var}));
    }
    return root;
}

Bytes SerializeVersionBlock(const VersionNode& root)
{
    Bytes out;
    WriteNode(root, out);
    return out;
}

void Poke32(Bytes& image, std::size_t at, std::uint32_t value) { Put(image, at, value); }

Bytes BuildPeImage(const PeImageOptions& options)
{
    // The resource tree: root -> type -> name -> languages -> data entries -> blocks.
    Bytes tree;
    const auto directory = [&](std::uint32_t idCount, std::uint32_t namedCount) {
        tree.resize(tree.size() + 12, 0);
        Append(tree, namedCount | idCount << 16);
    };
    const auto entry = [&](std::uint32_t id, std::uint32_t offset) {
        Append(tree, id);
        Append(tree, offset);
    };
    const std::uint32_t shift = 8u * options.namedTypeEntries;
    directory(1, options.namedTypeEntries);
    for (std::uint16_t i = 0; i < options.namedTypeEntries; ++i)
        entry(0x80000000u, 0x80000000u | PeLayout::kRootEntry);  // a name (never read) and nothing behind it
    entry(16, 0x80000000u | (PeLayout::kTypeDirectory + shift));
    directory(1, 0);
    entry(1, 0x80000000u | (PeLayout::kNameDirectory + shift));
    const auto languages = static_cast<std::uint32_t>(options.languages.size());
    directory(languages, 0);
    const std::size_t dataEntries = tree.size() + 8 * languages;
    for (std::uint32_t i = 0; i < languages; ++i)
        entry(options.languages[i].first, static_cast<std::uint32_t>(dataEntries + 16 * i));
    tree.resize(dataEntries + 16 * languages, 0);
    for (std::uint32_t i = 0; i < languages; ++i) {
        Align(tree);
        const Bytes& block = options.languages[i].second;
        Put(tree, dataEntries + 16 * i, PeLayout::kResourceRva + static_cast<std::uint32_t>(tree.size()));
        Put(tree, dataEntries + 16 * i + 4, static_cast<std::uint32_t>(block.size()));
        tree.insert(tree.end(), block.begin(), block.end());
    }

    Bytes out;
    out.assign(PeLayout::kResourceFileOffset, 0);
    const bool plus = options.pe32Plus;
    const std::size_t pe = PeLayout::kPeHeader, optional = pe + 24, optionalSize = plus ? 240 : 224;
    const std::size_t directories = optional + (plus ? 112 : 96), section = optional + optionalSize;
    const std::uint32_t rawSize = static_cast<std::uint32_t>((tree.size() + 0x1FF) / 0x200 * 0x200);
    // The DOS stub's pointer, the PE and optional headers, the resource directory, one ".rsrc" section.
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {0x3C, pe},
        {pe, 0x4550},
        {pe + 4, (plus ? 0x8664 : 0x014C) | 1u << 16},
        {pe + 20, static_cast<std::uint32_t>(optionalSize) | 0x0102u << 16},
        {optional, plus ? 0x20B : 0x10B},
        {directories - 4, 16},
        {directories + 16, PeLayout::kResourceRva},
        {directories + 20, static_cast<std::uint32_t>(tree.size())},
        {section, 0x7273722E},
        {section + 4, 'c'},
        {section + 8, static_cast<std::uint32_t>(tree.size())},
        {section + 12, PeLayout::kResourceRva},
        {section + 16, rawSize},
        {section + 20, PeLayout::kResourceFileOffset},
    };
    Put(out, 0, 0x5A4D, 2);
    for (const auto& [at, value] : fields)
        Put(out, at, value);
    out.insert(out.end(), tree.begin(), tree.end());
    out.resize(PeLayout::kResourceFileOffset + rawSize, 0);
    return out;
}

Bytes BuildPeImage(const Bytes& versionBlock, bool pe32Plus) { return BuildPeImage(PeImageOptions{pe32Plus, 0, {{0x0804, versionBlock}}}); }

Bytes PeFileWithVersionStrings(std::u16string description, std::u16string company, std::u16string product, std::u16string fileVersion)
{
    const VersionNode root =
        StandardVersionInfo(u"080404b0",
                            {TextNode(u"FileDescription", std::move(description)), TextNode(u"CompanyName", std::move(company)),
                             TextNode(u"ProductName", std::move(product)), TextNode(u"FileVersion", std::move(fileVersion))},
                            TranslationBytes({{0x0804, 0x04B0}}));
    return BuildPeImage(SerializeVersionBlock(root));
}
