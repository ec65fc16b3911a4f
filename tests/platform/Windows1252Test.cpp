#include "Windows1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using baslink::text::Utf16ToWindows1252;
using baslink::text::Utf8ToWindows1252;
using baslink::text::Windows1252ToUtf16;
using baslink::text::Windows1252ToUtf8;

TEST(Windows1252Test, DecodesLatinAndTheSpecialHighRange) {
    EXPECT_EQ(Windows1252ToUtf16("Tama\xF1o"), u"Tamaño");
    EXPECT_EQ(Windows1252ToUtf16("\x80\x8A\x9F\xA0\xFF"), u"\u20AC\u0160\u0178\u00A0\u00FF");
    EXPECT_EQ(Windows1252ToUtf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Windows1252Test, EveryByteSurvivesARoundTripThroughUtf16AndUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    EXPECT_EQ(Utf16ToWindows1252(Windows1252ToUtf16(all)), all);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
    EXPECT_EQ(Windows1252ToUtf8("Tama\xF1o \x80"), "Tamaño €");
}

TEST(Windows1252Test, EncodesWhatTheCodePageHoldsAndMarksTheRest) {
    EXPECT_EQ(Utf16ToWindows1252(u"Descripción €"), "Descripci\xF3n \x80");
    EXPECT_EQ(Utf16ToWindows1252(u"\u0394x"), "?x") << "Greek delta is outside the page";
    EXPECT_EQ(Utf16ToWindows1252(u"a\U0001F600b"), "a?b") << "a surrogate pair is one character";
    EXPECT_EQ(Utf16ToWindows1252(std::u16string(1, u'\xD800')), "?") << "lone surrogate";
}

TEST(Windows1252Test, MarksWhatUtf8CannotBringIntoThePage) {
    struct Row {
        const char* name;
        std::string utf8;
        std::string expected;
    };
    const Row rows[] = {
        {"outside the page",
         "\xCE\x94"
         "x",
         "?x"},
        {"four-byte character",
         "a\xF0\x9F\x98\x80"
         "b",
         "a?b"},
        {"lone continuation byte",
         "a\x80"
         "b",
         "a?b"},
        {"sequence cut short at the end", "a\xC3", "a?"},
        {"lead byte before a plain one",
         "\xC3"
         "A",
         "?A"},
        {"overlong slash", "\xC0\xAF", "??"},
        {"encoded surrogate", "\xED\xA0\x80", "???"},
        {"beyond the last code point", "\xF4\x90\x80\x80", "????"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Utf8ToWindows1252(row.utf8), row.expected);
    }
}

}  // namespace
