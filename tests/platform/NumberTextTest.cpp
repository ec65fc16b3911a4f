// Whole numbers from text, as the system reads them.

#include "NumberText.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using baslink::text::TextToInteger;

TEST(TextToIntegerTest, AcceptsDecimalAndHexadecimalWithSignAndLeadingBlanks) {
    EXPECT_EQ(TextToInteger("12"), 12);
    EXPECT_EQ(TextToInteger("  12"), 12);
    EXPECT_EQ(TextToInteger("+7"), 7);
    EXPECT_EQ(TextToInteger("-1"), -1);
    EXPECT_EQ(TextToInteger("007"), 7);
    EXPECT_EQ(TextToInteger("$1F"), 31);
    EXPECT_EQ(TextToInteger("0x1F"), 31);
    EXPECT_EQ(TextToInteger("0X1f"), 31);
    EXPECT_EQ(TextToInteger("x1F"), 31);
    EXPECT_EQ(TextToInteger("X1F"), 31);
    EXPECT_EQ(TextToInteger("-$10"), -16);
}

TEST(TextToIntegerTest, RefusesWhatIsNotAWholeNumber) {
    for (const char* text : {"", " ", "abc", "12 ", "1 2", "12a", "+", "-", "$", "0x", "x", "1.5",
                             "--1", "$G", "0x-1"}) {
        EXPECT_EQ(TextToInteger(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(TextToIntegerTest, KeepsToTheSigned32BitRange) {
    EXPECT_EQ(TextToInteger("2147483647"), 2147483647);
    EXPECT_EQ(TextToInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(TextToInteger("2147483648"), std::nullopt);
    EXPECT_EQ(TextToInteger("-2147483649"), std::nullopt);
    EXPECT_EQ(TextToInteger("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(TextToInteger("$80000000"), std::nullopt);
    EXPECT_EQ(TextToInteger("99999999999999999999999"), std::nullopt);
    EXPECT_EQ(TextToInteger("00000000000000000000042"), 42) << "leading zeros are no overflow";
}

}  // namespace
