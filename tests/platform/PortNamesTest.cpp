#include "PortNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "TemporaryConfigHome.h"

using baslink::platform::PortDevicePresent;
using baslink::platform::PortLinkFolder;
using baslink::platform::ResolvePortName;

TEST(PortNames, LinksWinAndMatchWithoutCase) {
    baslink::testing::TemporaryConfigHome links;
    links.Link("COM3", "/dev/null");
    links.Link("com2", links.Path() / "gone");  // dangling: still names the port
    const std::string folder = links.PortsFolder().string() + "/";
    EXPECT_EQ(ResolvePortName("com3"), folder + "COM3");
    EXPECT_EQ(ResolvePortName("Com3"), folder + "COM3");
    EXPECT_EQ(ResolvePortName("com2"), folder + "com2");
    EXPECT_EQ(ResolvePortName("com4"), "/dev/ttyS3");
    EXPECT_TRUE(PortDevicePresent("com3"));
    EXPECT_FALSE(PortDevicePresent(folder + "com2"));
    EXPECT_FALSE(PortDevicePresent("lpt1"));
}

TEST(PortNames, ComNumbersAbsolutePathsAndOtherNames) {
    baslink::testing::TemporaryConfigHome links;
    EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("com20"), "/dev/ttyS19");
    EXPECT_EQ(ResolvePortName("/dev/ttyUSB0"), "/dev/ttyUSB0");
    for (const char* name : {"com0", "com", "com1x", "lpt1", "", "../com1"}) {
        EXPECT_FALSE(ResolvePortName(name)) << name;
    }
}

TEST(PortNames, FolderDefaultsToHomeConfig) {
    baslink::testing::TemporaryConfigHome links;  // restores XDG_CONFIG_HOME afterwards
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", "/home/someone", 1);
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(PortLinkFolder(), "/home/someone/.config/baslink/ports");
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(PortLinkFolder(), "/home/someone/.config/baslink/ports");
    setenv("HOME", savedHome.c_str(), 1);
}
