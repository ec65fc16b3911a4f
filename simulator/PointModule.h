#pragma once
// One simulated point module: takes a request bit stream (pair types, output
// values, control bits, count byte) and answers with its status bit, its input
// values and a count byte.

#include <cstdint>
#include <optional>

#include "SimulatedBus.h"

namespace baslink::sim {

struct BitAnswer {
    Bytes bytes;
    uint16_t bitCount = 0;
};

class PointModule {
public:
    PointModule(uint8_t address, PairTypes pairTypes);

    // Serves a request of `bitCount` bits. Nothing when the request is refused: a
    // wrong leading value or address, a bit count other than the fields' own (or
    // a byte count other than the bit count's), padding bits that are not 0 (the two
    // after the control bits, and those after the count byte to the end of its byte),
    // or a count byte that does not match.
    std::optional<BitAnswer> serve(const Bytes& request, std::size_t bitCount);

    PointModuleState& state() { return state_; }
    const PointModuleState& state() const { return state_; }

private:
    bool readRequest(const Bytes& request, std::size_t bitCount);
    BitAnswer answer() const;

    PointModuleState state_;
};

}  // namespace baslink::sim
