#include "PointModule.h"

#include "BitStream.h"

namespace baslink::sim {

namespace {

constexpr uint16_t kRequestLead = 3;

int OutputBits(uint8_t type) {
    switch (type) {
        case 1:
        case 7:
            return 1;
        case 4:
            return 8;
        default:
            return 0;
    }
}

}  // namespace

PointModule::PointModule(uint8_t address, PairTypes pairTypes) {
    state_.address = address;
    state_.pairTypes = pairTypes;
}

std::optional<BitAnswer> PointModule::serve(const Bytes& request, std::size_t bitCount) {
    if (!readRequest(request, bitCount)) {
        ++state_.refused;
        return std::nullopt;
    }
    ++state_.answered;
    return answer();
}

// The request is parsed completely before anything is stored, so a refused one
// leaves the module as it was.
bool PointModule::readRequest(const Bytes& request, std::size_t bitCount) {
    if (request.size() != (bitCount + 7) / 8) {
        return false;
    }
    BitReader reader(request, bitCount);
    uint16_t lead = 0;
    uint16_t address = 0;
    if (!reader.read(8, lead) || !reader.read(8, address) || lead != kRequestLead ||
        address != state_.address) {
        return false;
    }
    PairTypes types{};
    std::array<uint16_t, 8> outputs = state_.outputs;
    for (std::size_t pair = 0; pair < 4; ++pair) {
        uint16_t type = 0;
        if (!reader.read(3, type)) {
            return false;
        }
        types[pair] = static_cast<uint8_t>(type);
        const int bits = OutputBits(types[pair]);
        if (bits > 0 &&
            (!reader.read(bits, outputs[2 * pair]) || !reader.read(bits, outputs[2 * pair + 1]))) {
            return false;
        }
    }
    uint16_t bitA = 0;
    uint16_t bitB = 0;
    uint16_t padding = 0;
    if (!reader.read(1, bitA) || !reader.read(1, bitB) || !reader.read(2, padding) ||
        padding != 0) {
        return false;
    }
    const auto expectedCount = static_cast<uint16_t>(reader.onesRead() % 256);
    uint16_t count = 0;
    // The count byte closes the stream: a bit count that claims more is a miscount.
    if (!reader.read(8, count) || count != expectedCount || reader.position() != bitCount) {
        return false;
    }
    // The bits after the count byte, up to the end of its byte, are 0.
    const std::size_t spare = request.size() * 8 - bitCount;
    if (spare > 0 && (request.back() & ((1u << spare) - 1)) != 0) {
        return false;
    }
    state_.requestedPairTypes = types;
    state_.outputs = outputs;
    state_.bitA = bitA != 0;
    state_.bitB = bitB != 0;
    return true;
}

BitAnswer PointModule::answer() const {
    BitWriter writer;
    writer.write(state_.statusBit ? 1 : 0, 1);
    for (std::size_t pair = 0; pair < 4; ++pair) {
        for (std::size_t point = 2 * pair; point < 2 * pair + 2; ++point) {
            const uint16_t value = state_.inputs[point];
            switch (state_.pairTypes[pair]) {
                case 2:
                    writer.write(value & 1u, 1);
                    break;
                case 3:
                case 6:
                    writer.write(value & 0xFFu, 8);
                    writer.write(value >> 8 & 0x7u, 3);
                    break;
                case 5:
                    writer.write(value & 0xFFu, 8);
                    break;
                default:
                    break;
            }
        }
    }
    writer.write(static_cast<uint16_t>(writer.onesWritten() % 256), 8);
    return {writer.bytes(), static_cast<uint16_t>(writer.bitCount())};
}

}  // namespace baslink::sim
