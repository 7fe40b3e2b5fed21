// The one codec: UTF-8 read by one rule, UTF-16 shown with U+FFFD for what is broken, and the
// lossless form that brings every UTF-16 text back unchanged.
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace {

using zanfo::Utf16ToUtf8;
using zanfo::Utf16ToWtf8;
using zanfo::Utf8ToUtf16;
using zanfo::Wtf8ToUtf16;

TEST(TextCodec, EveryUtf16TextComesBackFromTheLosslessForm)
{
    const struct {
        const char* name;
        std::u16string utf16;
        std::string shown, lossless;
    } rows[] = {
        {"ascii", u"a.txt", "a.txt", "a.txt"},
        {"chinese", u"中文", "中文", "中文"},
        {"pair", u"\U0001F600", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"lone-high", {u'a', 0xD800, u'b'}, "a\xEF\xBF\xBD" "b", "a\xED\xA0\x80" "b"},
        {"lone-low", {u'a', 0xDFFF}, "a\xEF\xBF\xBD", "a\xED\xBF\xBF"},
        {"reversed-pair", {0xDC00, 0xD800}, "\xEF\xBF\xBD\xEF\xBF\xBD", "\xED\xB0\x80\xED\xA0\x80"},
        {"high-at-the-end", {u'x', 0xDBFF}, "x\xEF\xBF\xBD", "x\xED\xAF\xBF"},
        {"high-before-pair", {0xD800, 0xD83D, 0xDE00}, "\xEF\xBF\xBD\xF0\x9F\x98\x80", "\xED\xA0\x80\xF0\x9F\x98\x80"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Utf16ToUtf8(row.utf16), row.shown) << row.name;
        EXPECT_EQ(Utf16ToWtf8(row.utf16), row.lossless) << row.name;
        EXPECT_EQ(Wtf8ToUtf16(row.lossless), row.utf16) << row.name;
    }
}

// Shortest forms, no surrogates, nothing past U+10FFFF: each byte of anything else is one U+FFFD.
// The lossless form takes surrogates, and only them, besides.
TEST(TextCodec, Utf8IsReadByOneRule)
{
    const std::u16string bad = u"\uFFFD", high = {0xD800};
    const struct {
        const char* name;
        std::string utf8;
        std::u16string utf16, fromLossless;
        std::size_t completePrefix;
    } rows[] = {
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
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Utf8ToUtf16(row.utf8), row.utf16) << row.name;
        EXPECT_EQ(Wtf8ToUtf16(row.utf8), row.fromLossless) << row.name;
        EXPECT_EQ(zanfo::CompleteUtf8Prefix(row.utf8), row.completePrefix) << row.name;
    }
}

}  // namespace
