#include "Checksums.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Checksums, Crc16ModbusMatchesThePublishedCheckValue) {
    const char* text = "123456789";
    EXPECT_EQ(0x4B37,
              baslink::Crc16Modbus(reinterpret_cast<const uint8_t*>(text), std::strlen(text)));
}

TEST(Checksums, Crc16ModbusOfNothingIsTheStartValue) {
    EXPECT_EQ(0xFFFF, baslink::Crc16Modbus(nullptr, 0));
}

TEST(Checksums, Sum8WrapsModulo256) {
    const uint8_t bytes[] = {0x15, 0x05, 0x01, 0x04, 0x01, 0x02};  // direct read frame of node 5
    EXPECT_EQ(0x22, baslink::Sum8(bytes, sizeof bytes));
    const uint8_t big[] = {0xFF, 0xFF, 0x03};
    EXPECT_EQ(0x01, baslink::Sum8(big, sizeof big));
}

}  // namespace
