#pragma once
// Whether a serial device is still held: the library takes an exclusive lock on every
// device it opens and drops it when it closes the port.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

// True when nobody holds the device's exclusive lock.
inline bool DeviceIsFree(const std::string& device) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool free = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    return free;
}
