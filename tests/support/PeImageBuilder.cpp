#include "PeImageBuilder.h"

#include <utility>

namespace {

void Put16(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<unsigned char>(value);
    out[at + 1] = static_cast<unsigned char>(value >> 8);
}

void Put32(std::vector<unsigned char>& out, std::size_t at, std::uint32_t value)
{
    Put16(out, at, value & 0xFFFF);
    Put16(out, at + 2, value >> 16);
}

void Append16(std::vector<unsigned char>& out, std::uint32_t value)
{
    out.resize(out.size() + 2);
    Put16(out, out.size() - 2, value);
}

void Append32(std::vector<unsigned char>& out, std::uint32_t value)
{
    out.resize(out.size() + 4);
    Put32(out, out.size() - 4, value);
}

void Align(std::vector<unsigned char>& out, std::size_t alignment)
{
    out.resize((out.size() + alignment - 1) / alignment * alignment, 0);
}

void AppendUtf16(std::vector<unsigned char>& out, const std::u16string& text, bool withNul)
{
    for (const char16_t unit : text)
        Append16(out, unit);
    if (withNul)
        Append16(out, 0);
}

void WriteNode(const VersionNode& node, std::vector<unsigned char>& out)
{
    const std::size_t start = out.size();
    Append16(out, 0);  // wLength, filled in below
    Append16(out, 0);  // wValueLength
    Append16(out, node.type.value_or(node.isText ? 1 : 0));
    AppendUtf16(out, node.key, true);
    Align(out, 4);
    std::uint32_t valueLength = 0;
    if (node.isText && (!node.text.empty() || node.omitNul)) {
        AppendUtf16(out, node.text, !node.omitNul);
        valueLength = static_cast<std::uint32_t>(node.text.size() + (node.omitNul ? 0 : 1));
    } else if (!node.binary.empty()) {
        out.insert(out.end(), node.binary.begin(), node.binary.end());
        valueLength = static_cast<std::uint32_t>(node.binary.size());
    }
    for (const VersionNode& child : node.children) {
        Align(out, 4);
        WriteNode(child, out);
    }
    Put16(out, start, static_cast<std::uint32_t>(out.size() - start));
    Put16(out, start + 2, node.valueLength.value_or(static_cast<std::uint16_t>(valueLength)));
}

}  // namespace

VersionNode TextNode(std::u16string key, std::u16string text)
{
    VersionNode node;
    node.key = std::move(key);
    node.isText = true;
    node.text = std::move(text);
    return node;
}

VersionNode BinaryNode(std::u16string key, std::vector<unsigned char> bytes)
{
    VersionNode node;
    node.key = std::move(key);
    node.binary = std::move(bytes);
    return node;
}

VersionNode BlockNode(std::u16string key, std::vector<VersionNode> children)
{
    VersionNode node;
    node.key = std::move(key);
    node.isText = true;
    node.children = std::move(children);
    return node;
}

std::vector<unsigned char> TranslationBytes(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& pairs)
{
    std::vector<unsigned char> bytes;
    for (const auto& [language, codePage] : pairs) {
        Append16(bytes, language);
        Append16(bytes, codePage);
    }
    return bytes;
}

VersionNode StandardVersionInfo(std::u16string tableKey, std::vector<VersionNode> strings,
                                std::optional<std::vector<unsigned char>> translation)
{
    std::vector<unsigned char> fixedInfo(52, 0);
    Put32(fixedInfo, 0, 0xFEEF04BD);
    Put32(fixedInfo, 4, 0x00010000);
    VersionNode root = BinaryNode(u"VS_VERSION_INFO", fixedInfo);
    root.children.push_back(BlockNode(u"StringFileInfo", {BlockNode(std::move(tableKey), std::move(strings))}));
    if (translation) {
        VersionNode var = BinaryNode(u"Translation", *translation);
        if (translation->empty())
            var.valueLength = 0;
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

void PeImage::Poke32(std::size_t fileOffset, std::uint32_t value)
{
    Put32(bytes, fileOffset, value);
}

PeImage BuildPeImage(const PeImageOptions& options)
{
    // The resource tree: root -> type -> name -> languages -> data entries -> blocks.
    std::vector<unsigned char> tree;
    auto directory = [&](std::uint16_t idCount, std::uint16_t namedCount) {
        tree.resize(tree.size() + 12, 0);
        Append16(tree, namedCount);
        Append16(tree, idCount);
    };
    const std::uint32_t shift = 8u * options.namedTypeEntries;
    directory(1, options.namedTypeEntries);
    for (std::uint16_t i = 0; i < options.namedTypeEntries; ++i) {
        Append32(tree, 0x80000000u);  // a name (never read) and nothing behind it
        Append32(tree, 0x80000000u | PeImage::kRootEntry);
    }
    Append32(tree, options.versionType);
    Append32(tree, 0x80000000u | (PeImage::kTypeDirectory + shift));
    directory(1, 0);
    Append32(tree, options.versionName);
    Append32(tree, 0x80000000u | (PeImage::kNameDirectory + shift));
    const auto languageCount = static_cast<std::uint16_t>(options.languages.size());
    directory(languageCount, 0);
    const std::size_t dataEntries = tree.size() + 8 * languageCount;
    for (std::size_t i = 0; i < options.languages.size(); ++i) {
        Append32(tree, options.languages[i].first);
        Append32(tree, static_cast<std::uint32_t>(dataEntries + 16 * i));
    }
    tree.resize(dataEntries + 16 * languageCount, 0);
    for (std::size_t i = 0; i < options.languages.size(); ++i) {
        Align(tree, 4);
        const std::vector<unsigned char>& block = options.languages[i].second;
        Put32(tree, dataEntries + 16 * i, PeImage::kResourceRva + static_cast<std::uint32_t>(tree.size()));
        Put32(tree, dataEntries + 16 * i + 4, static_cast<std::uint32_t>(block.size()));
        tree.insert(tree.end(), block.begin(), block.end());
    }

    PeImage image;
    image.firstDataEntry = dataEntries;
    std::vector<unsigned char>& out = image.bytes;
    out.assign(PeImage::kResourceFileOffset, 0);
    Put16(out, 0, 0x5A4D);
    Put32(out, 0x3C, PeImage::kPeHeaderOffset);
    const std::size_t pe = PeImage::kPeHeaderOffset;
    const std::size_t optionalSize = options.pe32Plus ? 240 : 224;
    Put32(out, pe, 0x4550);
    Put16(out, pe + 4, options.pe32Plus ? 0x8664 : 0x014C);
    Put16(out, pe + 6, 1);
    Put16(out, pe + 20, static_cast<std::uint32_t>(optionalSize));
    Put16(out, pe + 22, 0x0102);
    const std::size_t optional = pe + 24;
    Put16(out, optional, options.pe32Plus ? 0x20B : 0x10B);
    const std::size_t directories = optional + (options.pe32Plus ? 112 : 96);
    Put32(out, directories - 4, 16);
    Put32(out, directories + 2 * 8, PeImage::kResourceRva);
    Put32(out, directories + 2 * 8 + 4, static_cast<std::uint32_t>(tree.size()));
    const std::size_t section = optional + optionalSize;
    const std::uint32_t rawSize = static_cast<std::uint32_t>((tree.size() + 0x1FF) / 0x200 * 0x200);
    const char name[8] = {'.', 'r', 's', 'r', 'c'};
    std::copy(name, name + 8, out.begin() + static_cast<std::ptrdiff_t>(section));
    Put32(out, section + 8, static_cast<std::uint32_t>(tree.size()));
    Put32(out, section + 12, PeImage::kResourceRva);
    Put32(out, section + 16, rawSize);
    Put32(out, section + 20, PeImage::kResourceFileOffset);

    out.insert(out.end(), tree.begin(), tree.end());
    out.resize(PeImage::kResourceFileOffset + rawSize, 0);
    return image;
}

PeImage BuildPeImage(const std::vector<unsigned char>& versionBlock, bool pe32Plus)
{
    PeImageOptions options;
    options.pe32Plus = pe32Plus;
    options.languages = {{0x0804, versionBlock}};
    return BuildPeImage(options);
}

std::vector<unsigned char> PeFileWithVersionStrings(std::u16string description, std::u16string company,
                                                    std::u16string product, std::u16string fileVersion)
{
    const VersionNode root = StandardVersionInfo(
        u"080404b0",
        {TextNode(u"FileDescription", std::move(description)), TextNode(u"CompanyName", std::move(company)),
         TextNode(u"ProductName", std::move(product)), TextNode(u"FileVersion", std::move(fileVersion))},
        TranslationBytes({{0x0804, 0x04B0}}));
    return BuildPeImage(SerializeVersionBlock(root)).bytes;
}
