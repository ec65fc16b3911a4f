#pragma once
// Gives each test its own ports folder: XDG_CONFIG_HOME points into a fresh temporary
// folder for the test's lifetime, so the library and the simulated bus meet there and
// nothing of the machine's own configuration or devices is touched.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

class TemporaryConfigHome : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "baslink-driver-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        configHome_ = pattern;
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1), 0);
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(configHome_, ignored);
    }

    std::filesystem::path PortsFolder() const { return configHome_ / "baslink" / "ports"; }

private:
    std::filesystem::path configHome_;
};
