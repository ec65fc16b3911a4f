#include "IntegerText.h"

#include "AnsiText.h"

namespace quorvan {
namespace {

constexpr std::uint64_t kNegativeLimit = 0x80000000u;

int DigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// All of `digits` as a number in `base`, at least one digit; stops growing past the
// 32-bit range so long texts cannot overflow.
std::optional<std::uint64_t> Magnitude(std::string_view digits, int base) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (char c : digits) {
        const int digit = DigitValue(c);
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > kNegativeLimit) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::int32_t> Signed(std::optional<std::uint64_t> magnitude, bool negative) {
    if (!magnitude || *magnitude > (negative ? kNegativeLimit : kNegativeLimit - 1)) {
        return std::nullopt;
    }
    const auto wide = static_cast<std::int64_t>(*magnitude);
    return static_cast<std::int32_t>(negative ? -wide : wide);
}

bool TakeSign(std::string_view& text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        const bool negative = text.front() == '-';
        text.remove_prefix(1);
        return negative;
    }
    return false;
}

bool StartsWithHexPrefix(std::string_view text) {
    return text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
}

}  // namespace

std::optional<std::int32_t> TextToInteger(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    const bool negative = TakeSign(text);
    if (StartsWithHexPrefix(text)) {
        return Signed(Magnitude(text.substr(2), 16), negative);
    }
    if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        return Signed(Magnitude(text.substr(1), 16), negative);
    }
    return Signed(Magnitude(text, 10), negative);
}

bool ValorEnRango(const QString& text, std::int32_t min, std::int32_t max) {
    const auto value = TextToInteger(ToAnsi(text));
    return value && min <= *value && *value <= max;
}

std::int32_t IniTextToInteger(std::string_view text) {
    std::optional<std::int32_t> value;
    if (text.size() > 2 && StartsWithHexPrefix(text)) {
        value = Signed(Magnitude(text.substr(2), 16), false);
    } else if (!text.empty() && text.front() == '$') {
        value = Signed(Magnitude(text.substr(1), 16), false);
    } else {
        const bool negative = TakeSign(text);
        value = Signed(Magnitude(text, 10), negative);
    }
    return value.value_or(0);
}

}  // namespace quorvan
