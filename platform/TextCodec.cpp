#include "platform/TextCodec.h"

namespace zanfo {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t point)
{
    return point >= 0xD800 && point <= 0xDFFF;
}

bool IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The length a first byte announces: 2 to 4, or 1 for ASCII and for bytes that start nothing.
std::size_t AnnouncedLength(unsigned char lead)
{
    return lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 1;
}

Utf8Character Decode(std::string_view text, std::size_t at, bool surrogatesAllowed)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    const std::size_t length = AnnouncedLength(lead);
    if (length == 1 || length > text.size() - at)
        return {};
    char32_t point = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if ((byte & 0xC0) != 0x80)
            return {};
        point = point << 6 | (byte & 0x3Fu);
    }
    static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kShortest[length] || point > 0x10FFFF || (IsSurrogate(point) && !surrogatesAllowed))
        return {};
    return {point, length, true};
}

void AppendUtf8(std::string& out, char32_t point)
{
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (point >> 18));
        out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// How a byte that starts no character is read.
enum class Undecodable { Replaced, Escaped };

void AppendUtf16(std::u16string& out, char32_t point)
{
    if (point < 0x10000) {
        out += static_cast<char16_t>(point);
    } else {
        out += static_cast<char16_t>(0xD800 + ((point - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((point - 0x10000) & 0x3FF));
    }
}

std::u16string ToUtf16(std::string_view text, bool surrogatesAllowed, Undecodable undecodable = Undecodable::Replaced)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character character = Decode(text, at, surrogatesAllowed);
        const bool escaped = !character.valid && undecodable == Undecodable::Escaped;
        AppendUtf16(out, escaped ? 0xDC00 + static_cast<unsigned char>(text[at]) : character.point);
        at += character.length;
    }
    return out;
}

// What becomes of a lone surrogate.
enum class LoneSurrogate { Replaced, Kept, Unescaped };

std::string FromUtf16(std::u16string_view text, LoneSurrogate lone)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]))
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[++i]) - 0xDC00));
        else if (!IsSurrogate(unit) || lone == LoneSurrogate::Kept)
            AppendUtf8(out, unit);
        else if (lone == LoneSurrogate::Unescaped && unit >= 0xDC80 && unit <= 0xDCFF)
            out += static_cast<char>(unit - 0xDC00);
        else
            AppendUtf8(out, kReplacement);
    }
    return out;
}

}  // namespace

Utf8Character DecodeUtf8(std::string_view text, std::size_t at)
{
    return Decode(text, at, false);
}

std::size_t CompleteUtf8Prefix(std::string_view text)
{
    for (std::size_t back = 1; back <= 3 && back <= text.size(); ++back) {
        const auto byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) != 0x80)
            return AnnouncedLength(byte) > back ? text.size() - back : text.size();
    }
    return text.size();
}

std::u16string Utf8ToUtf16(std::string_view utf8)
{
    return ToUtf16(utf8, false);
}

std::string Utf16ToUtf8(std::u16string_view utf16)
{
    return FromUtf16(utf16, LoneSurrogate::Replaced);
}

std::string Utf16ToWtf8(std::u16string_view utf16)
{
    return FromUtf16(utf16, LoneSurrogate::Kept);
}

std::u16string Wtf8ToUtf16(std::string_view wtf8)
{
    return ToUtf16(wtf8, true);
}

std::u16string BytesToUtf16(std::string_view bytes)
{
    return ToUtf16(bytes, false, Undecodable::Escaped);
}

std::string Utf16ToBytes(std::u16string_view utf16)
{
    return FromUtf16(utf16, LoneSurrogate::Unescaped);
}

}  // namespace zanfo
