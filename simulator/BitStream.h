#pragma once
// Bit streams of the point modules: bit p lives in byte p / 8 at bit 7 - p % 8,
// fields go most significant bit first.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace baslink::sim {

class BitWriter {
public:
    void write(uint16_t value, int bits);
    std::size_t bitCount() const { return bits_; }
    std::size_t onesWritten() const { return ones_; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    std::size_t bits_ = 0;
    std::size_t ones_ = 0;
};

class BitReader {
public:
    BitReader(const std::vector<uint8_t>& bytes, std::size_t bitLimit)
        : bytes_(bytes), limit_(bitLimit) {}
    // False once a field would run past the limit; nothing is read then.
    bool read(int bits, uint16_t& value);
    std::size_t position() const { return position_; }
    std::size_t onesRead() const { return ones_; }

private:
    const std::vector<uint8_t>& bytes_;
    std::size_t limit_;
    std::size_t position_ = 0;
    std::size_t ones_ = 0;
};

}  // namespace baslink::sim
