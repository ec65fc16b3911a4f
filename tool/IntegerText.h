#pragma once
// Texts to whole numbers, the two ways the tool reads them.

#include <QString>
#include <cstdint>
#include <string_view>

#include "NumberText.h"

namespace quorvan {

// The conversion the tool uses wherever a typed text becomes a number (the system's own).
using baslink::text::TextToInteger;

// True when the text converts and min <= value <= max.
bool ValorEnRango(const QString& text, std::int32_t min, std::int32_t max);

// The integer read of the INI helpers: the tool's own conversion, so that every number a
// field accepts (hexadecimal after "x" or "X" as well) reads back the same from a file.
// Everything it refuses reads as 0.
std::int32_t IniTextToInteger(std::string_view text);

}  // namespace quorvan
