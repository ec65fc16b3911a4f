#pragma once
// The baseline: a minimal client of the board that writes the same frames as the library
// and waits for each reply with select(), on one thread, with nothing in between.

#include <cstdint>
#include <string>
#include <vector>

namespace baslink::bench {

class RawBoardClient {
public:
    // Opens the device raw at 115200 baud, 8N1. Throws std::runtime_error when it cannot.
    explicit RawBoardClient(const std::string& devicePath);
    ~RawBoardClient();
    RawBoardClient(const RawBoardClient&) = delete;
    RawBoardClient& operator=(const RawBoardClient&) = delete;

    // One board EEPROM record: the request (command 5 or 6) and the fetch of its reply.
    bool ReadRecord(uint16_t address, uint8_t size, uint8_t* destination);
    bool WriteRecord(uint16_t address, uint8_t size, const uint8_t* source);

private:
    bool Request(const std::vector<uint8_t>& payload);
    bool Fetch(uint8_t length, std::vector<uint8_t>& reply);
    // Writes the frame, then collects `replyLength` bytes (500 ms at most); true when they
    // end in a good CRC.
    bool Transact(std::vector<uint8_t> frame, std::size_t replyLength, std::vector<uint8_t>& reply);
    uint8_t NextSequence();

    int fd_ = -1;
    uint8_t sequence_ = 1;
};

}  // namespace baslink::bench
