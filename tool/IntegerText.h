#pragma once
// Texts to whole numbers, the two ways the tool reads them.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvan {

// The conversion the tool uses wherever a typed text becomes a number: leading blanks,
// an optional sign, then decimal digits or a hexadecimal number after "$", "x", "X",
// "0x" or "0X". The number runs to the end of the text and fits a signed 32-bit integer;
// anything else, the empty text included, gives nothing.
std::optional<std::int32_t> TextToInteger(std::string_view text);

// True when the text converts and min <= value <= max.
bool ValorEnRango(const QString& text, std::int32_t min, std::int32_t max);

// The integer read of the INI helpers: decimal with an optional sign, or hexadecimal after
// "0x"/"0X" (with at least one digit) or "$". Everything else reads as 0.
std::int32_t IniTextToInteger(std::string_view text);

}  // namespace quorvan
