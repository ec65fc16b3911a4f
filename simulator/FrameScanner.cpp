#include "FrameScanner.h"

#include "Checksums.h"
#include "Devices.h"

namespace baslink::sim {

namespace {

constexpr uint8_t kBoardAddress = 0x01;
constexpr uint8_t kSendFunction = 0x65;
constexpr uint8_t kFetchFunction = 0x64;
constexpr std::size_t kSendHead = 7;
constexpr std::size_t kLongestPayload = 246;  // the serial layer sends at most 255 bytes
constexpr std::size_t kFetchLength = 8;
constexpr std::size_t kFetchStart = 100;  // where the board keeps its reply
constexpr uint8_t kBlockForm = 0xE0;
constexpr uint8_t kBlockRead = 0x07;
constexpr uint8_t kBlockWrite = 0x08;

ScanResult Junk() {
    return {ScanStatus::Junk};
}
ScanResult Incomplete() {
    return {ScanStatus::Incomplete};
}

ScanResult BoardFrame(const uint8_t* data, std::size_t size, FrameKind kind, std::size_t length) {
    if (size < length) {
        return Incomplete();
    }
    const uint16_t crc = Crc16Modbus(data, length - 2);
    const bool ok = data[length - 2] == (crc & 0xFF) && data[length - 1] == crc >> 8;
    return {ScanStatus::Frame, kind, length, ok};
}

ScanResult ScanBoard(const uint8_t* data, std::size_t size) {
    if (size < 2) {
        return Incomplete();
    }
    if (data[1] != kFetchFunction && data[1] != kSendFunction) {
        return Junk();
    }
    if (size < 4) {
        return Incomplete();
    }
    const std::size_t start = data[2] << 8 | data[3];
    if (data[1] == kFetchFunction) {
        return start == kFetchStart ? BoardFrame(data, size, FrameKind::BoardFetch, kFetchLength)
                                    : Junk();
    }
    if (size < kSendHead) {
        return Incomplete();
    }
    const std::size_t payload = data[4] << 8 | data[5];
    if (start != 0 || payload > kLongestPayload || data[6] != payload) {
        return Junk();
    }
    return BoardFrame(data, size, FrameKind::BoardSend, kSendHead + payload + 2);
}

ScanResult ScanDirect(const uint8_t* data, std::size_t size) {
    if (size < 4) {
        return Incomplete();
    }
    std::size_t length = 0;
    FrameKind kind = FrameKind::DirectRead;
    if (data[3] == kBlockForm) {
        if (size < 6) {
            return Incomplete();
        }
        if (data[5] == kBlockRead) {
            length = 10;
        } else if (data[5] == kBlockWrite) {
            kind = FrameKind::DirectWrite;
            length = 10 + data[4];
        } else {
            return Junk();
        }
    } else if (data[3] & 0x80) {
        kind = FrameKind::DirectWrite;
        length = 7 + (data[3] & 0x7F);
    } else {
        length = 7;
    }
    if (size < length) {
        return Incomplete();
    }
    return {ScanStatus::Frame, kind, length, Sum8(data, length - 1) == data[length - 1]};
}

}  // namespace

ScanResult ScanFrame(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return Incomplete();
    }
    if (data[0] == kBoardAddress) {
        return ScanBoard(data, size);
    }
    if (IsNodeHeader(data[0])) {
        return ScanDirect(data, size);
    }
    return Junk();
}

}  // namespace baslink::sim
