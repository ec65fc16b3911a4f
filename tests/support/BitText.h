#pragma once
// Bit streams written out as text, most significant bit first: "00000011 001 1 0".
// Characters other than 0 and 1 only make the text readable.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace baslink::testing {

inline std::vector<uint8_t> FromBits(const std::string& text, std::size_t* bitCount = nullptr) {
    std::vector<uint8_t> bytes;
    std::size_t bits = 0;
    for (const char c : text) {
        if (c != '0' && c != '1') {
            continue;
        }
        if (bits % 8 == 0) {
            bytes.push_back(0);
        }
        if (c == '1') {
            bytes.back() |= static_cast<uint8_t>(0x80 >> (bits % 8));
        }
        ++bits;
    }
    if (bitCount != nullptr) {
        *bitCount = bits;
    }
    return bytes;
}

}  // namespace baslink::testing
