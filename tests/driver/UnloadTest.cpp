// Unloading the library while its worker runs and a port is open: the unload waits for
// the worker to release the ports and end before the library's code goes away.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <iterator>

#include "DeviceLock.h"
#include "LibraryOnBusTest.h"
#include "SimulatedBus.h"

namespace {

using WriteBlock = uint8_t (*)(uint8_t, uint16_t, uint16_t, const uint8_t*);

long ThreadsOfThisProcess() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return std::distance(begin(tasks), end(tasks));
}

class Unload : public LibraryOnBusTest {};

TEST_F(Unload, ReleasesTheOpenPortsBeforeItReturns) {
    const long threadsBefore = ThreadsOfThisProcess();
    void* library = dlopen(BASLINK_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto write = reinterpret_cast<WriteBlock>(dlsym(library, "EscribirBloqueEpromQDK"));
    ASSERT_NE(write, nullptr);

    const uint8_t data[2] = {0x12, 0x34};
    ASSERT_EQ(write(1, 64, 2, data), 1);
    ASSERT_FALSE(DeviceIsFree(bus.devicePath()));

    ASSERT_GT(ThreadsOfThisProcess(), threadsBefore);  // the worker and the port's reader

    ASSERT_EQ(dlclose(library), 0);
    EXPECT_TRUE(DeviceIsFree(bus.devicePath()));
    // Nothing of the library is left running to touch unloaded code.
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
    EXPECT_EQ(bus.board().eeprom(64, 2), (baslink::sim::Bytes{0x12, 0x34}));
}

}  // namespace
