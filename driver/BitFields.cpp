#include "BitFields.h"

namespace baslink {
namespace {

uint8_t Mask(std::size_t position) {
    return static_cast<uint8_t>(0x80u >> (position % 8));
}

bool BitAt(const uint8_t* buffer, std::size_t position) {
    return (buffer[position / 8] & Mask(position)) != 0;
}

}  // namespace

std::size_t EscribirBits(uint8_t* buffer, std::size_t position, uint16_t value, int count) {
    for (int j = count - 1; j >= 0; --j, ++position) {
        uint8_t& byte = buffer[position / 8];
        byte = static_cast<uint8_t>(byte & ~Mask(position));
        if ((value >> j & 1u) != 0) {
            byte = static_cast<uint8_t>(byte | Mask(position));
        }
    }
    return position;
}

std::size_t LeerBits(const uint8_t* buffer, std::size_t position, uint16_t& value, int count) {
    value = 0;
    for (int j = count - 1; j >= 0; --j, ++position) {
        if (BitAt(buffer, position)) {
            value = static_cast<uint16_t>(value | 1u << j);
        }
    }
    return position;
}

uint8_t OnesBefore(const uint8_t* buffer, std::size_t bitCount) {
    unsigned ones = 0;
    for (std::size_t position = 0; position < bitCount; ++position) {
        ones += BitAt(buffer, position) ? 1 : 0;
    }
    return static_cast<uint8_t>(ones % 256);
}

}  // namespace baslink
