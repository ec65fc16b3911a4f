#pragma once
// Test side of the line: a client that opens the linked port like the driver does, the
// frames the driver would send, and the temporary ports folder (from tests/support).

#include <chrono>
#include <filesystem>

#include "SimulatedBus.h"
#include "TemporaryConfigHome.h"

namespace baslink::sim::test {

using baslink::testing::TemporaryConfigHome;

class LineClient {
public:
    explicit LineClient(const std::filesystem::path& port);
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    void write(const Bytes& bytes);
    // Reads until `count` bytes came or the time is up; returns what came.
    Bytes read(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(2));
    // Writes a request and reads an answer of `count` bytes.
    Bytes exchange(const Bytes& request, std::size_t count);
    // True when nothing arrives within `quiet`.
    bool silentFor(std::chrono::milliseconds quiet);

private:
    int fd_ = -1;
};

Bytes SendFrame(const Bytes& payload);
Bytes FetchFrame(uint16_t length);
Bytes WithSum(Bytes body);
bool CrcOk(const Bytes& frame);
bool SumOk(const Bytes& frame);

}  // namespace baslink::sim::test
