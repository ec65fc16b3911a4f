#include "IntegerText.h"

#include "AnsiText.h"

namespace quorvan {

using baslink::text::DigitsToInteger;

bool ValorEnRango(const QString& text, std::int32_t min, std::int32_t max) {
    const auto value = TextToInteger(ToAnsi(text));
    return value && min <= *value && *value <= max;
}

std::int32_t IniTextToInteger(std::string_view text) {
    std::optional<std::int32_t> value;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        value = DigitsToInteger(text.substr(2), 16, false);
    } else if (text.starts_with('$')) {
        value = DigitsToInteger(text.substr(1), 16, false);
    } else {
        const bool negative = text.starts_with('-');
        if (negative || text.starts_with('+')) {
            text.remove_prefix(1);
        }
        value = DigitsToInteger(text, 10, negative);
    }
    return value.value_or(0);
}

}  // namespace quorvan
