#include "LineSettings.h"

#include <gtest/gtest.h>

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
    ApplyLineSettings(line, 115200, 8, kParityNone, kStopBitsOne);
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
    ApplyLineSettings(line, 9600, 8, kParityEven, kStopBitsOne);
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB));
    ApplyLineSettings(line, 9600, 7, kParityOdd, kStopBitsTwo);
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB | PARODD));
    EXPECT_EQ(line.c_cflag & CSIZE, CS7);
    EXPECT_TRUE(line.c_cflag & CSTOPB);
    ApplyLineSettings(line, 9600, 5, kParityMark, kStopBitsOneAndHalf);
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB | PARODD | CMSPAR));
    EXPECT_EQ(line.c_cflag & CSIZE, CS5);
    EXPECT_TRUE(line.c_cflag & CSTOPB);  // 1.5 becomes 2
    ApplyLineSettings(line, 9600, 6, kParitySpace, kStopBitsOne);
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB | CMSPAR));
    EXPECT_EQ(line.c_cflag & CSIZE, CS6);
    EXPECT_FALSE(line.c_cflag & CSTOPB);
}

TEST(LineSettings, ValuesTheLineCannotTakeLeaveTheOldSetting) {
    termios line = CookedLine();
    ApplyLineSettings(line, 12345, 9, 5, 3);
    EXPECT_EQ(cfgetospeed(&line), B38400);
    EXPECT_EQ(line.c_cflag & CSIZE, CS7);
    EXPECT_EQ(ParityBits(line), static_cast<tcflag_t>(PARENB));
    EXPECT_FALSE(line.c_cflag & CSTOPB);
    EXPECT_FALSE(line.c_lflag & ICANON);  // still raw
}
