#include "BitStream.h"

#include <algorithm>

namespace baslink::sim {

void BitWriter::write(uint16_t value, int bits) {
    for (int j = bits - 1; j >= 0; --j) {
        if (bits_ % 8 == 0) {
            bytes_.push_back(0);
        }
        if (value >> j & 1u) {
            bytes_.back() |= static_cast<uint8_t>(0x80u >> (bits_ % 8));
            ++ones_;
        }
        ++bits_;
    }
}

bool BitReader::read(int bits, uint16_t& value) {
    const std::size_t available = std::min(limit_, bytes_.size() * 8);
    if (position_ + static_cast<std::size_t>(bits) > available) {
        return false;
    }
    value = 0;
    for (int j = bits - 1; j >= 0; --j) {
        if (bytes_[position_ / 8] & (0x80u >> (position_ % 8))) {
            value |= static_cast<uint16_t>(1u << j);
            ++ones_;
        }
        ++position_;
    }
    return true;
}

}  // namespace baslink::sim
