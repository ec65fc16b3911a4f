#include "PortNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "TestLine.h"

using baslink::platform::IdentifyLink;
using baslink::platform::LeadsToPseudoTerminal;
using baslink::platform::MadeBeforeItsDevice;
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

TEST(PortNames, OnlyTheTerminalSideOfAPseudoTerminalCountsAsOne) {
    baslink::testing::TemporaryConfigHome links;
    const baslink::testing::TestLine line;
    links.Link("com1", line.SlavePath());
    links.Link("com2", "/dev/null");  // a device, but no terminal
    const std::string folder = links.PortsFolder().string() + "/";
    EXPECT_TRUE(LeadsToPseudoTerminal(line.SlavePath()));
    EXPECT_TRUE(LeadsToPseudoTerminal(folder + "com1"));
    for (const std::string& path : {folder + "com2", folder, folder + "com3", std::string("/dev/ptmx")}) {
        EXPECT_FALSE(LeadsToPseudoTerminal(path)) << path;
    }
}

// Through a chain of links, the one that counts is the last, which names the device: a
// device's own tool may remake it while the entry of the ports folder stays.
TEST(PortNames, ALinkMadeAgainIsAnotherMakingEvenToTheSameDevice) {
    namespace fs = std::filesystem;
    baslink::testing::TemporaryConfigHome links;
    const std::string folder = links.PortsFolder().string() + "/";
    const fs::path middle = links.Path() / "port";
    fs::create_symlink("/dev/null", middle);
    links.Link("com1", "/dev/null");
    links.Link("com2", middle);
    const auto remade = [](const fs::path& link) {
        fs::create_symlink(fs::read_symlink(link), link.string() + ".new");
        fs::rename(link.string() + ".new", link);
    };
    for (const auto& [entry, link] : {std::pair(folder + "com1", fs::path(folder + "com1")),
                                      std::pair(folder + "com2", middle)}) {
        SCOPED_TRACE(entry);
        const auto first = IdentifyLink(entry);
        ASSERT_TRUE(first);
        EXPECT_EQ(IdentifyLink(entry), first);
        remade(link);
        EXPECT_NE(IdentifyLink(entry), first);
    }
    fs::remove(folder + "com1");
    EXPECT_FALSE(IdentifyLink(folder + "com1"));
}

TEST(PortNames, ALinkMadeBeforeWhatItLeadsToIsToldFromOneMadeAfter) {
    namespace fs = std::filesystem;
    baslink::testing::TemporaryConfigHome links;
    const std::string folder = links.PortsFolder().string() + "/";
    const fs::path device = links.Path() / "device";
    const fs::path middle = links.Path() / "port";
    links.Link("com1", "/dev/null");
    links.Link("com2", device);  // made before the device
    links.Link("com3", middle);  // made before the device, through a link made after it
    ASSERT_TRUE(links.WaitUntilNewerThan(folder + "com3"));
    std::ofstream{device};
    ASSERT_TRUE(links.WaitUntilNewerThan(device));
    fs::create_symlink(device, middle);
    EXPECT_FALSE(MadeBeforeItsDevice(folder + "com1"));
    EXPECT_TRUE(MadeBeforeItsDevice(folder + "com2"));
    EXPECT_FALSE(MadeBeforeItsDevice(folder + "com3"));
    EXPECT_FALSE(MadeBeforeItsDevice(folder + "com4"));  // no such link
}
