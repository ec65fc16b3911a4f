#include "LineSettings.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace baslink::platform;

namespace {

// A line as a terminal starts: cooked, echoing, translating, with flow control.
termios CookedLine() {
    termios line{};
    line.c_iflag = ICRNL | IXON | IXOFF | ISTRIP | INPCK | BRKINT | PARMRK;
    line.c_oflag = OPOST | ONLCR;
    line.c_lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    line.c_cflag = CS7 | PARENB | CRTSCTS | HUPCL;
    cfsetispeed(&line, B38400);
    cfsetospeed(&line, B38400);
    return line;
}

tcflag_t ParityBits(const termios& line) {
    return line.c_cflag & (PARENB | PARODD | CMSPAR);
}

}  // namespace

TEST(LineSettings, MakesARawLineWithoutFlowControl) {
    termios line = CookedLine();
    ASSERT_TRUE(ApplyLineSettings(line, 115200, 8, kParityNone, kStopBitsOne));
    EXPECT_EQ(cfgetispeed(&line), B115200);
    EXPECT_EQ(cfgetospeed(&line), B115200);
    EXPECT_EQ(line.c_cflag & CSIZE, CS8);
    EXPECT_EQ(ParityBits(line), 0u);
    EXPECT_FALSE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_iflag & (ICRNL | IXON | IXOFF | ISTRIP | INPCK | PARMRK));
    EXPECT_FALSE(line.c_oflag & OPOST);
    EXPECT_FALSE(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN));
    EXPECT_FALSE(line.c_cflag & CRTSCTS);
    EXPECT_TRUE(line.c_cflag & CLOCAL);
    EXPECT_TRUE(line.c_cflag & CREAD);
}

TEST(LineSettings, FramingOfEachParityAndStopBitCode) {
    termios line = CookedLine();
    ASSERT_TRUE(ApplyLineSettings(line, 9600, 8, kParityEven, kStopBitsOne));
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB));
    ASSERT_TRUE(ApplyLineSettings(line, 9600, 7, kParityOdd, kStopBitsTwo));
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB | PARODD));
    EXPECT_EQ(line.c_cflag & CSIZE, CS7);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    ASSERT_TRUE(ApplyLineSettings(line, 9600, 5, kParityMark, kStopBitsOneAndHalf));
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB | PARODD | CMSPAR));
    EXPECT_EQ(line.c_cflag & CSIZE, CS5);
    EXPECT_TRUE(line.c_cflag & CSTOPB);  // 1.5 becomes 2
    ASSERT_TRUE(ApplyLineSettings(line, 9600, 6, kParitySpace, kStopBitsOne));
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB | CMSPAR));
    EXPECT_EQ(line.c_cflag & CSIZE, CS6);
    EXPECT_FALSE(line.c_cflag & CSTOPB);
}

TEST(LineSettings, AValueTheLineCannotTakeIsRefusedAndChangesNothing) {
    struct Row {
        const char* name;
        uint32_t baud;
        uint8_t dataBits, parity, stopBits;
    };
    const Row rows[] = {
        {"unknown speed", 12345, 8, kParityNone, kStopBitsOne},
        {"nine data bits", 9600, 9, kParityNone, kStopBitsOne},
        {"four data bits", 9600, 4, kParityNone, kStopBitsOne},
        {"parity code 5", 9600, 8, 5, kStopBitsOne},
        {"stop-bit code 3", 9600, 8, kParityNone, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        termios line = CookedLine();
        const termios before = line;
        EXPECT_FALSE(ApplyLineSettings(line, row.baud, row.dataBits, row.parity, row.stopBits));
        EXPECT_EQ(std::memcmp(&line, &before, sizeof line), 0);
    }
}
