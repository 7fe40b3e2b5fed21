#include "tools/cli/Md5sumText.h"

#include "platform/CharacterClass.h"
#include "platform/TextCodec.h"

#include <cstring>

namespace md5sum {
namespace {

constexpr std::size_t kDigestLength = 32;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsHexDigest(const std::string& text)
{
    if (text.size() != kDigestLength)
        return false;
    for (const char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

// The character at `at`, and whether a terminal would not show it as itself: C0, DEL, C1 and
// any other code point that does not print (U+2028, unassigned ones), or a byte that starts no
// UTF-8 character, which counts as such a character of length 1.
zanfo::Utf8Character CharacterAt(const std::string& text, std::size_t at, bool& control)
{
    const zanfo::Utf8Character character = zanfo::DecodeUtf8(text, at);
    control = !character.valid || !zanfo::IsPrintable(character.point);
    return character;
}

void AppendOctal(std::string& out, unsigned char byte)
{
    static const char named[] = "\a\b\t\n\v\f\r";
    static const char names[] = "abtnvfr";
    if (byte != 0)
        if (const char* at = std::strchr(named, byte)) {
            out += '\\';
            out += names[at - named];
            return;
        }
    out += '\\';
    out += static_cast<char>('0' + (byte >> 6));
    out += static_cast<char>('0' + ((byte >> 3) & 7));
    out += static_cast<char>('0' + (byte & 7));
}

}  // namespace

std::string EscapeName(const std::string& name, bool& escaped)
{
    std::string out;
    escaped = false;
    for (const char c : name) {
        const char* escape = c == '\\' ? "\\\\" : c == '\n' ? "\\n" : c == '\r' ? "\\r" : nullptr;
        escaped = escaped || escape;
        escape ? out += escape : out += c;
    }
    return out;
}

std::optional<std::string> UnescapeName(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        const char next = ++i < text.size() ? text[i] : '\0';
        if (next != '\\' && next != 'n' && next != 'r')
            return std::nullopt;
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
    }
    return out;
}

std::string QuoteForTerminal(const std::string& name)
{
    bool needsQuotes = name.empty(), hasControl = false, hasSingleQuote = false, unsafeInDouble = false;
    for (std::size_t i = 0, length; i < name.size(); i += length) {
        bool control = false;
        length = CharacterAt(name, i, control).length;
        const char c = name[i];
        hasControl = hasControl || control;
        hasSingleQuote = hasSingleQuote || c == '\'';
        needsQuotes = needsQuotes || (!control && std::strchr(" !\"$&()*:;<=>?[\\^`|", c)) || ((c == '#' || c == '~') && i == 0);
        unsafeInDouble = unsafeInDouble || (!control && std::strchr("!\"$\\`", c));
    }
    if (!needsQuotes && !hasControl && !hasSingleQuote)
        return name;
    if (hasSingleQuote && !hasControl && !unsafeInDouble)
        return '"' + name + '"';
    // Single quotes; each run of controls leaves them for $'...' with octal escapes.
    std::string out = "'";
    bool inControls = false;
    for (std::size_t i = 0, length; i < name.size(); i += length) {
        bool control = false;
        length = CharacterAt(name, i, control).length;
        if (control != inControls)
            out += control ? "'$'" : "''";
        inControls = control;
        for (std::size_t j = 0; j < length; ++j) {
            if (control)
                AppendOctal(out, static_cast<unsigned char>(name[i + j]));
            else
                name[i + j] == '\'' ? out += "'\\''" : out += name[i + j];
        }
    }
    out += "'";
    return out;
}

std::string EscapeControls(const std::string& value)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0, length; i < value.size(); i += length) {
        bool control = false;
        const zanfo::Utf8Character character = CharacterAt(value, i, control);
        length = character.length;
        const char c = value[i];
        if (c == '\\' || c == '\n' || c == '\r' || c == '\t') {
            out += '\\';
            out += c == '\\' ? '\\' : c == '\n' ? 'n' : c == '\r' ? 'r' : 't';
        } else if (control) {
            // A C1 control by its code point, anything else byte by byte.
            const bool c1 = character.valid && character.point < 0xA0;
            for (std::size_t k = c1 ? length - 1 : 0; k < length; ++k) {
                const auto byte = static_cast<unsigned char>(value[i + k]);
                out += "\\x";
                out += hex[byte >> 4];
                out += hex[byte & 0x0F];
            }
        } else {
            out.append(value, i, length);
        }
    }
    return out;
}

std::optional<ListedFile> CListParser::Parse(const std::string& line)
{
    std::size_t end = line.size();  // before a line feed, and a carriage return before it
    if (end > 0 && line[end - 1] == '\n')
        --end;
    if (end > 0 && line[end - 1] == '\r')
        --end;
    std::size_t i = 0;
    while (i < end && IsBlank(line[i]))
        ++i;
    const bool escaped = i < end && line[i] == '\\';
    i += escaped ? 1 : 0;
    ListedFile file;
    int reversedBsd = m_reversedBsd;  // what this line says of the layout, kept if it is well formed
    if (line.compare(i, 3, "MD5") == 0 && line.find('(', i + 3) == i + 3 + (line.compare(i + 3, 1, " ") == 0 ? 1 : 0)) {
        // MD5 (NAME) = DIGEST: the name runs to the last ')'.
        const std::size_t open = line.find('(', i + 3), close = line.rfind(')');
        if (close == std::string::npos || close <= open + 1)
            return std::nullopt;
        file.name = line.substr(open + 1, close - open - 1);
        std::size_t at = close + 1;
        while (at < end && IsBlank(line[at]))
            ++at;
        if (at >= end || line[at] != '=')
            return std::nullopt;
        ++at;
        while (at < end && IsBlank(line[at]))
            ++at;
        file.digest = line.substr(at, end - at);
    } else {
        file.digest = line.substr(i, std::min(kDigestLength, end - i));
        i += kDigestLength;
        if (i >= end || !IsBlank(line[i]))
            return std::nullopt;
        ++i;
        // A second blank or '*' marks md5sum's own layout; otherwise (reversed BSD style) the
        // name follows at once. The first well-formed line decides which one the list uses: a
        // broken one decides nothing for the lines after it.
        const bool single = i + 1 == end || (line[i] != ' ' && line[i] != '*');
        if (single) {
            if (reversedBsd == 0)
                return std::nullopt;
            reversedBsd = 1;
        } else if (reversedBsd != 1) {
            reversedBsd = 0;
            ++i;
        }
        file.name = line.substr(i, end - i);
    }
    if (!IsHexDigest(file.digest) || file.name.empty())
        return std::nullopt;
    if (escaped) {
        const std::optional<std::string> name = UnescapeName(file.name);
        if (!name)
            return std::nullopt;
        file.name = *name;
    }
    m_reversedBsd = reversedBsd;
    return file;
}

}  // namespace md5sum
