// The one codec: UTF-8 read by one rule, UTF-16 shown with U+FFFD for what is broken, the
// lossless form that brings every UTF-16 text back unchanged, and the escapes that bring any
// bytes back.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using zanfo::Utf16ToUtf8;
using zanfo::Utf16ToWtf8;
using zanfo::Utf8ToUtf16;
using zanfo::Wtf8ToUtf16;

TEST(TextCodec, EveryUtf16TextComesBackFromTheLosslessForm)
{
    // UTF-16, what a person is shown of it, its lossless form.
    const std::tuple<const char*, std::u16string, std::string, std::string> rows[] = {
        {"ascii", u"a.txt", "a.txt", "a.txt"},
        {"chinese", u"中文", "中文", "中文"},
        {"pair", u"\U0001F600", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"lone-high", {u'a', 0xD800, u'z'}, "a\xEF\xBF\xBDz", "a\xED\xA0\x80z"},
        {"lone-low", {u'a', 0xDFFF}, "a\xEF\xBF\xBD", "a\xED\xBF\xBF"},
        {"reversed-pair", {0xDC00, 0xD800}, "\xEF\xBF\xBD\xEF\xBF\xBD", "\xED\xB0\x80\xED\xA0\x80"},
        {"high-at-the-end", {u'x', 0xDBFF}, "x\xEF\xBF\xBD", "x\xED\xAF\xBF"},
        {"high-before-pair", {0xD800, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80", "\xED\xA0\x80\xF0\x9F\x98\x80"},
    };
    for (const auto& [name, utf16, shown, lossless] : rows) {
        EXPECT_EQ(Utf16ToUtf8(utf16), shown) << name;
        EXPECT_EQ(zanfo::Utf16ToBytes(utf16), shown) << name << ": only U+DC80 to U+DCFF stand for bytes";
        EXPECT_EQ(Utf16ToWtf8(utf16), lossless) << name;
        EXPECT_EQ(Wtf8ToUtf16(lossless), utf16) << name;
    }
}

// Shortest forms, no surrogates, nothing past U+10FFFF: each byte of anything else is one U+FFFD.
// The lossless form takes surrogates, and only them, besides.
TEST(TextCodec, Utf8IsReadByOneRule)
{
    const std::u16string bad = u"\uFFFD", high = {0xD800};
    // UTF-8, read as UTF-16, read as the lossless form, and the part that ends on a whole character.
    const std::tuple<const char*, std::string, std::u16string, std::u16string, std::size_t> rows[] = {
        {"two-byte", "\xC3\xA9", u"é", u"é", 2},
        {"largest", "\xF4\x8F\xBF\xBF", u"\U0010FFFF", u"\U0010FFFF", 4},
        {"overlong-two", "\xC0\xAF", bad + bad, bad + bad, 2},
        {"overlong-three", "\xE0\x80\xAF", bad + bad + bad, bad + bad + bad, 3},
        {"overlong-four", "\xF0\x8F\xBF\xBF", bad + bad + bad + bad, bad + bad + bad + bad, 4},
        {"surrogate", "\xED\xA0\x80", bad + bad + bad, high, 3},
        {"past-10FFFF", "\xF4\x90\x80\x80", bad + bad + bad + bad, bad + bad + bad + bad, 4},
        {"lead-F5", "\xF5\x80", bad + bad, bad + bad, 2},
        {"lone-continuation", "a\x80", u"a" + bad, u"a" + bad, 2},
        {"cut-short", "a\xE4\xB8", u"a" + bad + bad, u"a" + bad + bad, 1},
        {"cut-after-lead", "\xF0", bad, bad, 0},
        {"latin-1", "caf\xE9", u"caf" + bad, u"caf" + bad, 3},
    };
    for (const auto& [name, utf8, utf16, fromLossless, completePrefix] : rows) {
        EXPECT_EQ(Utf8ToUtf16(utf8), utf16) << name;
        EXPECT_EQ(Wtf8ToUtf16(utf8), fromLossless) << name;
        EXPECT_EQ(zanfo::CompleteUtf8Prefix(utf8), completePrefix) << name;
        EXPECT_EQ(zanfo::Utf16ToBytes(zanfo::BytesToUtf16(utf8)), utf8) << name << ": any bytes come back";
    }
    EXPECT_EQ(zanfo::BytesToUtf16("caf\xE9"), u"caf\xDCE9");
}

}  // namespace
