#include "IntegerText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using quorvan::IniTextToInteger;
using quorvan::ValorEnRango;

TEST(ValorEnRangoTest, ChecksTheConvertedValueAgainstBothBounds) {
    EXPECT_TRUE(ValorEnRango("1", 1, 1023));
    EXPECT_TRUE(ValorEnRango("1023", 1, 1023));
    EXPECT_TRUE(ValorEnRango("$3FF", 1, 1023));
    EXPECT_FALSE(ValorEnRango("0", 1, 1023));
    EXPECT_FALSE(ValorEnRango("1024", 1, 1023));
    EXPECT_FALSE(ValorEnRango("-1", 0, 1023));
    EXPECT_FALSE(ValorEnRango("abc", 0, 1023));
    EXPECT_FALSE(ValorEnRango("", 0, 1023));
    EXPECT_FALSE(ValorEnRango("2147483648", 0, 2147483647));
    EXPECT_FALSE(ValorEnRango(QStringLiteral("1\u00B2"), 0, 1023)) << "a superscript is no digit";
}

TEST(IniTextToIntegerTest, ReadsDecimalOrPrefixedHexadecimalAndElseZero) {
    EXPECT_EQ(IniTextToInteger("12"), 12);
    EXPECT_EQ(IniTextToInteger("-5"), -5);
    EXPECT_EQ(IniTextToInteger("007"), 7);
    EXPECT_EQ(IniTextToInteger("0x1F"), 31);
    EXPECT_EQ(IniTextToInteger("0X0A"), 10);
    EXPECT_EQ(IniTextToInteger("$1F"), 31);
    EXPECT_EQ(IniTextToInteger("x1F"), 31);
    EXPECT_EQ(IniTextToInteger("+X1f"), 31);
    for (const char* text : {"", "abc", "0x", "x", "12abc", "2147483648", "0x-1"}) {
        EXPECT_EQ(IniTextToInteger(text), 0) << '"' << text << '"';
    }
}

}  // namespace
