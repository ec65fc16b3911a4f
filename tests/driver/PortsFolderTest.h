#pragma once
// A test with its own ports folder, so the library and the simulated bus meet there and
// nothing of the machine's own configuration or devices is touched.

#include <gtest/gtest.h>

#include <string>

#include "TemporaryConfigHome.h"

class PortsFolderTest : public ::testing::Test {
protected:
    // Makes `port` a name that leads to no device (without a link it would lead to the
    // machine's /dev/ttyS*), replacing the link of a simulated bus that has gone.
    void LinkToNothing(const std::string& port) const {
        configHome_.Link(port, configHome_.PortsFolder() / "no-such-device");
    }

    const baslink::testing::TemporaryConfigHome& ConfigHome() const { return configHome_; }

private:
    baslink::testing::TemporaryConfigHome configHome_;
};
