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

}  // namespace baslink::text
