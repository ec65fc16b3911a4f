#pragma once
// A test with its own ports folder, so the library and the simulated bus meet there and
// nothing of the machine's own configuration or devices is touched.

#include <gtest/gtest.h>

#include <filesystem>

#include "TemporaryConfigHome.h"

class PortsFolderTest : public ::testing::Test {
protected:
    std::filesystem::path PortsFolder() const { return configHome_.PortsFolder(); }

private:
    baslink::testing::TemporaryConfigHome configHome_;
};
