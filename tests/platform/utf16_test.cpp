#include "platform/utf16.hpp"

#include <gtest/gtest.h>

namespace {

using bmp2land::platform::utf16ToUtf8;
using bmp2land::platform::utf8ToUtf16;

TEST(Utf16, ConvertsEveryLengthOfSequenceBothWays) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"", u""},
        {"level.bmp", u"level.bmp"},
        {"\x7F", u"\x7F"},
        {"niveau \xC3\xA9t\xC3\xA9", u"niveau \u00E9t\u00E9"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE3\x83\xAC\xE3\x83\x99\xE3\x83\xAB/x\xE2\x82\xAC.bmp",
         u"\u30EC\u30D9\u30EB/x\u20AC.bmp"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        {"level \xF0\x9F\x8E\xAE.bmp", u"level \U0001F3AE.bmp"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        // Lone surrogates, which Windows allows in names, survive both ways.
        {"a\xED\xA0\x80z", std::u16string{u'a', char16_t{0xD800}, u'z'}},
        {"\xED\xBF\xBF", std::u16string{char16_t{0xDFFF}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(Utf16, TurnsEachByteOfABrokenSequenceIntoAReplacement) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"\x80", u"\uFFFD"},                                // a continuation byte alone
        {"\xC3", u"\uFFFD"},                                // cut short at the end
        {"\xC3x", u"\uFFFDx"},                              // cut short by an ASCII byte
        {"\xE3\x83", u"\uFFFD\uFFFD"},                      // cut short, two bytes
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong "/"
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong "/", three bytes
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xFF.bmp", u"\uFFFD.bmp"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    }
}

}  // namespace
