#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program's one UTF-8 and UTF-16 codec. UTF-8 is read by one rule (RFC 3629): shortest
// forms only, no encoded surrogates, nothing past U+10FFFF. WTF-8, the lossless form, is UTF-8
// that also holds lone surrogates, so that every UTF-16 text, well formed or not, survives the
// way through it and back: what names a file must reach the file unchanged.
namespace zanfo {

// One character of UTF-8 text, or one byte that starts none.
struct Utf8Character {
    char32_t point = 0xFFFD;  // U+FFFD for a byte that starts no character
    std::size_t length = 1;   // the bytes it takes
    bool valid = false;
};
Utf8Character DecodeUtf8(std::string_view text, std::size_t at);

// The longest start of `text` that does not end inside a character: what may be written now
// while the rest of a character is still to come.
std::size_t CompleteUtf8Prefix(std::string_view text);

// For what a person reads: each byte that starts no character, and each lone surrogate,
// becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The lossless pair: Wtf8ToUtf16(Utf16ToWtf8(text)) == text for every UTF-16 text.
std::string Utf16ToWtf8(std::u16string_view utf16);
std::u16string Wtf8ToUtf16(std::string_view wtf8);

// Bytes that may be any (a file name on Linux) in a UTF-16 toolkit and back: each byte that
// starts no character becomes a lone surrogate U+DC80 to U+DCFF and comes back as that byte
// (Python's surrogateescape). Utf16ToBytes(BytesToUtf16(bytes)) == bytes for all bytes.
std::u16string BytesToUtf16(std::string_view bytes);
std::string Utf16ToBytes(std::u16string_view utf16);

}  // namespace zanfo
