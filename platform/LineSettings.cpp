#include "LineSettings.h"

namespace baslink::platform {
namespace {

struct Speed {
    uint32_t baud;
    speed_t code;
};

constexpr Speed kSpeeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
};

// B0 when the line has no such speed.
speed_t SpeedFor(uint32_t baud) {
    for (const Speed& speed : kSpeeds) {
        if (speed.baud == baud) {
            return speed.code;
        }
    }
    return B0;
}

tcflag_t ParityFlags(uint8_t parity) {
    switch (parity) {
        case kParityOdd:
            return PARENB | PARODD;
        case kParityEven:
            return PARENB;
        case kParityMark:
            return PARENB | CMSPAR | PARODD;
        case kParitySpace:
            return PARENB | CMSPAR;
        default:
            return 0;
    }
}

}  // namespace

bool ApplyLineSettings(termios& settings, uint32_t baud, uint8_t dataBits, uint8_t parity,
                       uint8_t stopBits) {
    const speed_t speed = SpeedFor(baud);
    if (speed == B0 || dataBits < 5 || dataBits > 8 || parity > kParitySpace ||
        stopBits > kStopBitsTwo) {
        return false;
    }
    // Raw as cfmakeraw makes it, but leaving the framing to the settings below.
    settings.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                          IXANY | INPCK | IGNPAR);
    settings.c_oflag &= ~OPOST;
    settings.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~CRTSCTS;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;

    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    settings.c_cflag = (settings.c_cflag & ~CSIZE) | kSizes[dataBits - 5];
    settings.c_cflag = (settings.c_cflag & ~(PARENB | PARODD | CMSPAR)) | ParityFlags(parity);
    // The line knows no 1.5 stop bits: it takes 2.
    if (stopBits == kStopBitsOne) {
        settings.c_cflag &= ~CSTOPB;
    } else {
        settings.c_cflag |= CSTOPB;
    }
    return true;
}

}  // namespace baslink::platform
