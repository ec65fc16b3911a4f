#include "SerialDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "PortNames.h"
#include "TerminalChecks.h"

namespace baslink::platform {
namespace {

// Modem lines and error counters are sampled this often where the device has them.
constexpr int kSampleIntervalMs = 10;
// A device readable with nothing to read, or a failed wait, is looked at again this late.
constexpr int kRetryMs = 100;

constexpr uint32_t kLineEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING | EV_ERR;

std::string SystemMessage(int error) {
    return std::system_category().message(error);
}

// Each modem line as the kernel, the modem status and the wait events name it.
struct ModemLine {
    int kernelBit;
    uint32_t statusBit;
    uint32_t event;
};

constexpr ModemLine kModemLines[] = {
    {TIOCM_CTS, MS_CTS_ON, EV_CTS},
    {TIOCM_DSR, MS_DSR_ON, EV_DSR},
    {TIOCM_CD, MS_RLSD_ON, EV_RLSD},
    {TIOCM_RNG, MS_RING_ON, EV_RING},
};

uint32_t ModemBits(int lines) {
    uint32_t bits = 0;
    for (const ModemLine& line : kModemLines) {
        if (lines & line.kernelBit) {
            bits |= line.statusBit;
        }
    }
    return bits;
}

// Speed and framing agree; the rest of the settings may be the device's own.
bool SameLine(const termios& a, const termios& b) {
    constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;
    return cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b) &&
           (a.c_cflag & kFraming) == (b.c_cflag & kFraming);
}

uint32_t LineErrorCount(const serial_icounter_struct& counts) {
    return static_cast<uint32_t>(counts.frame + counts.overrun + counts.parity + counts.brk +
                                 counts.buf_overrun);
}

class PosixSerialDevice final : public SerialDevice {
public:
    PosixSerialDevice(int fd, int wakeFd, bool exclusive)
        : fd_(fd), wakeFd_(wakeFd), exclusive_(exclusive) {
        // Pseudo-terminals answer these with ENOTTY: they then have no line events.
        int lines = 0;
        hasModemLines_ = ioctl(fd_, TIOCMGET, &lines) == 0;
        modemLines_ = ModemLineWatch(hasModemLines_ ? ModemBits(lines) : 0);
        serial_icounter_struct counts{};
        hasErrorCounts_ = ioctl(fd_, TIOCGICOUNT, &counts) == 0;
        lastErrorCount_ = hasErrorCounts_ ? LineErrorCount(counts) : 0;
    }

    ~PosixSerialDevice() override {
        if (exclusive_) {
            (void)ioctl(fd_, TIOCNXCL);
        }
        (void)close(fd_);  // also drops the lock
        (void)close(wakeFd_);
    }

    bool SetLineParams(uint32_t baud, uint8_t dataBits, uint8_t parity, uint8_t stopBits,
                       std::string& error) override {
        termios settings{};
        if (tcgetattr(fd_, &settings) != 0) {
            error = SystemMessage(errno);
            return false;
        }
        if (!ApplyLineSettings(settings, baud, dataBits, parity, stopBits)) {
            error = "the line cannot take " + std::to_string(baud) + " baud, " +
                    std::to_string(dataBits) + " data bits, parity code " + std::to_string(parity) +
                    ", stop-bit code " + std::to_string(stopBits);
            return false;
        }
        if (tcsetattr(fd_, TCSANOW, &settings) != 0) {
            error = SystemMessage(errno);
            return false;
        }
        // The call succeeds when any of the settings was taken; look at what the line kept.
        termios kept{};
        if (tcgetattr(fd_, &kept) != 0 || !SameLine(kept, settings)) {
            error = "the device did not keep the line settings";
            return false;
        }
        return true;
    }

    void Purge() override { (void)tcflush(fd_, TCIOFLUSH); }

    void SetDtr(bool on) override { SetModemLine(TIOCM_DTR, on); }
    void SetRts(bool on) override { SetModemLine(TIOCM_RTS, on); }

    // Not a fresh look: a change made while the reader was busy elsewhere must still be
    // reported against the state before it.
    uint32_t ModemStatus() override { return modemLines_.Status(); }

    WaitResult WaitEvent(uint32_t mask) override {
        if (gone_) {
            return {false, 0, true};
        }
        const bool sampling = (mask & kLineEvents) != 0 && (hasModemLines_ || hasErrorCounts_);
        for (;;) {
            pollfd fds[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
            const int ready = poll(fds, 2, sampling ? kSampleIntervalMs : -1);
            if (ready < 0 && errno != EINTR) {
                // Nothing sensible to wait on: look again later rather than spin.
                if (SleepUnlessClosed(kRetryMs)) {
                    return {true, 0};
                }
                continue;
            }
            WaitResult result;
            result.closeRequested = ready > 0 && (fds[1].revents & POLLIN) != 0;
            bool readableWithoutBytes = false;
            if (ready > 0 && fds[0].revents != 0) {
                if (BytesQueued() > 0) {
                    result.events |= EV_RXCHAR;
                } else if (HasGone(fds[0].revents)) {
                    gone_ = true;
                    result.deviceGone = true;
                } else {
                    readableWithoutBytes = true;
                }
            }
            if (sampling && !result.deviceGone) {
                result.events |= SampleLineEvents();
            }
            result.events &= mask;
            if (result.closeRequested || result.events != 0 || result.deviceGone) {
                return result;
            }
            if (readableWithoutBytes && SleepUnlessClosed(kRetryMs)) {
                return {true, 0};
            }
        }
    }

    void RequestClose() override {
        const uint64_t one = 1;
        // The counter is never read back, so the request stays set for good.
        [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
    }

    uint32_t BytesQueued() override {
        int queued = 0;
        if (ioctl(fd_, FIONREAD, &queued) != 0 || queued < 0) {
            return 0;
        }
        return static_cast<uint32_t>(queued);
    }

    std::size_t Read(void* buffer, std::size_t count) override {
        auto* bytes = static_cast<char*>(buffer);
        return Complete(count, POLLIN,
                        [&](std::size_t done) { return read(fd_, bytes + done, count - done); });
    }

    std::size_t Write(const void* buffer, std::size_t count) override {
        const auto* bytes = static_cast<const char*>(buffer);
        return Complete(count, POLLOUT,
                        [&](std::size_t done) { return write(fd_, bytes + done, count - done); });
    }

private:
    void SetModemLine(int line, bool on) {
        if (hasModemLines_) {
            (void)ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line);
        }
    }

    // EV_* bits of the modem lines and error counters changed since the last sample.
    uint32_t SampleLineEvents() {
        uint32_t events = 0;
        int lines = 0;
        if (hasModemLines_ && ioctl(fd_, TIOCMGET, &lines) == 0) {
            events |= modemLines_.Sample(ModemBits(lines));
        }
        serial_icounter_struct counts{};
        if (hasErrorCounts_ && ioctl(fd_, TIOCGICOUNT, &counts) == 0) {
            const uint32_t now = LineErrorCount(counts);
            if (now != lastErrorCount_) {
                events |= EV_ERR;
            }
            lastErrorCount_ = now;
        }
        return events;
    }

    // Repeats a read or write until count bytes are through, the device is gone or a close
    // is requested; returns the number through.
    template <typename Transfer>
    std::size_t Complete(std::size_t count, short readiness, Transfer transfer) {
        std::size_t done = 0;
        while (done < count) {
            const ssize_t moved = transfer(done);
            if (moved > 0) {
                done += static_cast<std::size_t>(moved);
            } else if (moved < 0 &&
                       (errno == EINTR || (errno == EAGAIN && AwaitReady(readiness)))) {
                continue;
            } else {
                break;  // hung up, failed or closing
            }
        }
        return done;
    }

    // Waits until the device is ready for `what`; false on a close request, a hang-up
    // or a failure.
    bool AwaitReady(short what) {
        for (;;) {
            pollfd fds[2] = {{fd_, what, 0}, {wakeFd_, POLLIN, 0}};
            const int ready = poll(fds, 2, -1);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            if (ready < 0 || (fds[1].revents & POLLIN) != 0) {
                return false;
            }
            if (fds[0].revents & what) {
                return true;
            }
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
                return false;
            }
        }
    }

    // Whether the device has gone away, judged after poll found it readable with nothing
    // queued: a hang-up (the other end of a pseudo-terminal closed, an adapter unplugged)
    // or a device that no longer answers.
    bool HasGone(short revents) {
        if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return true;
        }
        int queued = 0;
        return ioctl(fd_, FIONREAD, &queued) != 0 &&
               (errno == EIO || errno == ENXIO || errno == ENODEV);
    }

    // Sleeps for the given time; true when a close request ended the sleep.
    bool SleepUnlessClosed(int milliseconds) {
        pollfd wake{wakeFd_, POLLIN, 0};
        return poll(&wake, 1, milliseconds) > 0 && (wake.revents & POLLIN) != 0;
    }

    const int fd_;
    const int wakeFd_;
    const bool exclusive_;  // whether we put the terminal in exclusive mode
    bool hasModemLines_ = false;
    bool hasErrorCounts_ = false;
    ModemLineWatch modemLines_{0};
    uint32_t lastErrorCount_ = 0;
    bool gone_ = false;  // used by the waiting thread only
};

}  // namespace

uint32_t ModemLineWatch::Sample(uint32_t now) {
    uint32_t events = 0;
    for (const ModemLine& line : kModemLines) {
        if ((status_ ^ now) & line.statusBit) {
            events |= line.event;
        }
    }
    status_ = now;
    return events;
}

OpenedDevice OpenSerialDevice(const std::string& portName, const DeviceAdmission& admit) {
    const auto path = ResolvePortName(portName);
    if (!path) {
        return {nullptr, SystemMessage(ENOENT)};
    }
    const int fd = open(path->c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return {nullptr, SystemMessage(errno)};
    }
    // The descriptor, not the path, tells what was opened: the path may have been re-pointed
    // since anyone looked at it.
    struct stat device {};
    if (fstat(fd, &device) != 0 || !S_ISCHR(device.st_mode) || !isatty(fd)) {
        (void)close(fd);
        return {nullptr, SystemMessage(ENOTTY)};
    }
    if (admit && !admit(device)) {
        (void)close(fd);
        return {nullptr, "the device is not this port's to use"};
    }
    // The port is ours alone while we hold it: the lock keeps out those who honour it, and
    // ends with our descriptor, however the program ends.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        (void)close(fd);
        return {nullptr, SystemMessage(error)};
    }
    // Exclusive mode also keeps out the terminal's other openers. A device's mode ends with
    // its last close; a pseudo-terminal's lasts as long as its other side, so a program that
    // died holding one would keep its own user out of it until the simulator was restarted.
    const bool exclusive = !IsPseudoTerminal(device.st_rdev) && ioctl(fd, TIOCEXCL) == 0;
    const int wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        const int error = errno;
        (void)close(fd);
        return {nullptr, SystemMessage(error)};
    }
    return {std::make_unique<PosixSerialDevice>(fd, wakeFd, exclusive), {}};
}

}  // namespace baslink::platform
