#include "IntegerText.h"

#include "AnsiText.h"

namespace quorvan {

bool ValorEnRango(const QString& text, std::int32_t min, std::int32_t max) {
    const auto value = TextToInteger(ToAnsi(text));
    return value && min <= *value && *value <= max;
}

std::int32_t IniTextToInteger(std::string_view text) {
    return TextToInteger(text).value_or(0);
}

}  // namespace quorvan
