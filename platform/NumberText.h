#pragma once
// Whole numbers from text, as the system reads them wherever a text stands for a number:
// a typed value, a terminator code, a cell of the exchange table.

#include <cstdint>
#include <optional>
#include <string_view>

namespace baslink::text {

// Leading blanks, an optional sign, then decimal digits or a hexadecimal number after
// "$", "x", "X", "0x" or "0X". The number runs to the end of the text and fits a signed
// 32-bit integer; anything else, the empty text included, gives nothing.
std::optional<std::int32_t> TextToInteger(std::string_view text);

// All of `digits` (at least one) as a number in `base` (10 or 16), negated when asked;
// nothing when a character is no digit of the base or the value leaves the signed 32-bit
// range. Long texts cannot overflow.
std::optional<std::int32_t> DigitsToInteger(std::string_view digits, int base, bool negative);

}  // namespace baslink::text
