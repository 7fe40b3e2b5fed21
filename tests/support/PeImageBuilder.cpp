#include "PeImageBuilder.h"

#include <utility>

namespace {

// Little-endian values of `size` bytes, written in place or appended.
void Put(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value, int size = 4)
{
    for (int i = 0; i < size; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}
void Append(std::vector<unsigned char>& out, std::uint32_t value, int size = 4)
{
    out.resize(out.size() + static_cast<std::size_t>(size));
    Put(out, out.size() - static_cast<std::size_t>(size), value, size);
}
void Align(std::vector<unsigned char>& out)
{
    out.resize((out.size() + 3) / 4 * 4, 0);
}
void AppendUtf16(std::vector<unsigned char>& out, const std::u16string& text, bool withNul)
{
    for (const char16_t unit : text)
        Append(out, unit, 2);
    if (withNul)
        Append(out, 0, 2);
}

void WriteNode(const VersionNode& node, std::vector<unsigned char>& out)
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

}  // namespace

VersionNode TextNode(std::u16string key, std::u16string text)
{
    return VersionNode{std::move(key), true, std::move(text)};
}

VersionNode BlockNode(std::u16string key, std::vector<VersionNode> children)
{
    return VersionNode{std::move(key), true, {}, {}, std::move(children)};
}

std::vector<unsigned char> TranslationBytes(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs)
{
    std::vector<unsigned char> bytes;
    for (const auto& [language, codePage] : pairs)
        Append(bytes, language | static_cast<std::uint32_t>(codePage) << 16);
    return bytes;
}

VersionNode StandardVersionInfo(std::u16string tableKey, std::vector<VersionNode> strings,
                                std::optional<std::vector<unsigned char>> translation)
{
    VersionNode root{u"VS_VERSION_INFO"};
    root.binary.assign(52, 0);
    Put(root.binary, 0, 0xFEEF04BD);
    Put(root.binary, 4, 0x00010000);
    root.children.push_back(BlockNode(u"StringFileInfo", {BlockNode(std::move(tableKey), std::move(strings))}));
    if (translation) {
        VersionNode var{u"Translation"};
        var.binary = *translation;
        var.valueLength = static_cast<std::uint16_t>(translation->size());
        root.children.push_back(BlockNode(u"VarFileInfo", {var}));
    }
    return root;
}

std::vector<unsigned char> SerializeVersionBlock(const VersionNode& root)
{
    std::vector<unsigned char> out;
    WriteNode(root, out);
    return out;
}

void PeImage::Poke32(std::size_t at, std::uint32_t value)
{
    Put(bytes, at, value);
}

PeImage BuildPeImage(const PeImageOptions& options)
{
    // The resource tree: root -> type -> name -> languages -> data entries -> blocks.
    std::vector<unsigned char> tree;
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
        entry(0x80000000u, 0x80000000u | PeImage::kRootEntry);  // a name (never read) and nothing behind it
    entry(options.versionType, 0x80000000u | (PeImage::kTypeDirectory + shift));
    directory(1, 0);
    entry(options.versionName, 0x80000000u | (PeImage::kNameDirectory + shift));
    const auto languages = static_cast<std::uint32_t>(options.languages.size());
    directory(languages, 0);
    const std::size_t dataEntries = tree.size() + 8 * languages;
    for (std::uint32_t i = 0; i < languages; ++i)
        entry(options.languages[i].first, static_cast<std::uint32_t>(dataEntries + 16 * i));
    tree.resize(dataEntries + 16 * languages, 0);
    for (std::uint32_t i = 0; i < languages; ++i) {
        Align(tree);
        const std::vector<unsigned char>& block = options.languages[i].second;
        Put(tree, dataEntries + 16 * i, PeImage::kResourceRva + static_cast<std::uint32_t>(tree.size()));
        Put(tree, dataEntries + 16 * i + 4, static_cast<std::uint32_t>(block.size()));
        tree.insert(tree.end(), block.begin(), block.end());
    }

    PeImage image;
    image.firstDataEntry = dataEntries;
    std::vector<unsigned char>& out = image.bytes;
    out.assign(PeImage::kResourceFileOffset, 0);
    const bool plus = options.pe32Plus;
    const std::size_t pe = PeImage::kPeHeader, optional = pe + 24, optionalSize = plus ? 240 : 224;
    const std::size_t directories = optional + (plus ? 112 : 96), section = optional + optionalSize;
    const std::uint32_t rawSize = static_cast<std::uint32_t>((tree.size() + 0x1FF) / 0x200 * 0x200);
    const std::pair<std::size_t, std::uint32_t> fields[] = {
        {0x3C, pe}, {pe, 0x4550}, {pe + 4, (plus ? 0x8664 : 0x014C) | 1u << 16},
        {pe + 20, static_cast<std::uint32_t>(optionalSize) | 0x0102u << 16}, {optional, plus ? 0x20B : 0x10B},
        {directories - 4, 16}, {directories + 16, PeImage::kResourceRva},
        {directories + 20, static_cast<std::uint32_t>(tree.size())},
        {section, 0x7273722E}, {section + 4, 'c'},  // ".rsrc"
        {section + 8, static_cast<std::uint32_t>(tree.size())}, {section + 12, PeImage::kResourceRva},
        {section + 16, rawSize}, {section + 20, PeImage::kResourceFileOffset},
    };
    Put(out, 0, 0x5A4D, 2);
    for (const auto& [at, value] : fields)
        Put(out, at, value);
    out.insert(out.end(), tree.begin(), tree.end());
    out.resize(PeImage::kResourceFileOffset + rawSize, 0);
    return image;
}

PeImage BuildPeImage(const std::vector<unsigned char>& versionBlock, bool pe32Plus)
{
    return BuildPeImage(PeImageOptions{pe32Plus, 16, 1, 0, {{0x0804, versionBlock}}});
}

std::vector<unsigned char> PeFileWithVersionStrings(std::u16string description, std::u16string company,
                                                    std::u16string product, std::u16string fileVersion)
{
    const VersionNode root = StandardVersionInfo(u"080404b0",
                                                 {TextNode(u"FileDescription", std::move(description)), TextNode(u"CompanyName", std::move(company)),
                                                  TextNode(u"ProductName", std::move(product)), TextNode(u"FileVersion", std::move(fileVersion))},
                                                 TranslationBytes({{0x0804, 0x04B0}}));
    return BuildPeImage(SerializeVersionBlock(root)).bytes;
}
