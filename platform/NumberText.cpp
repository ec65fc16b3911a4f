#include "NumberText.h"

namespace baslink::text {
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

// All of `digits` (at least one) as a number in `base` (10 or 16), negated when asked;
// nothing when a character is no digit of the base or the value leaves the signed 32-bit
// range. Long texts cannot overflow.
std::optional<std::int32_t> DigitsToInteger(std::string_view digits, int base, bool negative) {
    if (digits.empty()) {
        return std::nullopt;
    }
    std::uint64_t magnitude = 0;
    for (char c : digits) {
        const int digit = DigitValue(c);
        if (digit >= base) {
            return std::nullopt;
        }
        magnitude = magnitude * base + digit;
        if (magnitude > kNegativeLimit) {
            return std::nullopt;
        }
    }
    if (magnitude > (negative ? kNegativeLimit : kNegativeLimit - 1)) {
        return std::nullopt;
    }
    const auto wide = static_cast<std::int64_t>(magnitude);
    return static_cast<std::int32_t>(negative ? -wide : wide);
}

}  // namespace

std::optional<std::int32_t> TextToInteger(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.starts_with("0x") || text.starts_with("0X")) {
        return DigitsToInteger(text.substr(2), 16, negative);
    }
    if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X')) {
        return DigitsToInteger(text.substr(1), 16, negative);
    }
    return DigitsToInteger(text, 10, negative);
}

}  // namespace baslink::text
