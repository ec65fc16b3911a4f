#include "TerminalChecks.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LinkHandling.h"
#include "SessionTerminal.h"
#include "TestLine.h"

using baslink::platform::IsPseudoTerminal;
using baslink::platform::IsSessionTerminal;
using baslink::platform::LinkChain;
using baslink::platform::ReadLinkChain;
using baslink::platform::StandsForAnotherTerminal;
using baslink::testing::Shifted;
using baslink::testing::Stamp;
using baslink::testing::TemporaryConfigHome;
using baslink::testing::TestLine;

namespace {

namespace fs = std::filesystem;

dev_t DeviceNumber(const std::string& path) {
    struct stat device {};
    EXPECT_EQ(stat(path.c_str(), &device), 0) << path;
    return device.st_rdev;
}

}  // namespace

TEST(TerminalChecks, DevicesAreToldByTheirNumbers) {
    const TestLine line;
    struct Row {
        const char* name;
        dev_t device;
        bool pseudoTerminal;
        bool standsForAnother;
    };
    const Row rows[] = {
        {"a pseudo-terminal's terminal side", DeviceNumber(line.SlavePath()), true, false},
        {"an old-style pseudo-terminal's terminal side", makedev(3, 0), true, false},
        {"/dev/ttyS0", makedev(4, 64), false, false},
        {"/dev/ttyUSB0", makedev(188, 0), false, false},
        {"/dev/null", makedev(1, 3), false, false},
        {"/dev/tty", makedev(5, 0), false, true},
        {"/dev/console", makedev(5, 1), false, true},
        {"/dev/ptmx", makedev(5, 2), false, true},
        {"/dev/tty0", makedev(4, 0), false, true},
        {"/dev/tty1", makedev(4, 1), false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsPseudoTerminal(row.device), row.pseudoTerminal);
        EXPECT_EQ(StandsForAnotherTerminal(row.device), row.standsForAnother);
    }
}

// What links say and when they were written survive what ordinary tools do to them; a chain
// of links changes when any link in it is written anew.
TEST(TerminalChecks, ALinksWritingSurvivesRenameOwnerAndCopyButNotAWritingAnew) {
    TemporaryConfigHome links;
    const fs::path middle = links.Path() / "port";
    fs::create_symlink("/dev/null", middle);
    links.Link("com1", "/dev/null");
    links.Link("com2", middle);
    const fs::path folder = links.PortsFolder();
    for (const auto& handling : baslink::testing::kOrdinaryLinkHandlings) {
        SCOPED_TRACE(handling.name);
        const LinkChain before = ReadLinkChain(folder / "com1");
        ASSERT_EQ(before.size(), 1u);
        EXPECT_EQ(before[0].target, "/dev/null");
        const fs::path after = handling.apply(folder / "com1");
        EXPECT_EQ(ReadLinkChain(after), before);
        fs::rename(after, folder / "com1");
    }

    const LinkChain chain = ReadLinkChain(folder / "com2");
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].target, middle.string());
    EXPECT_EQ(chain[1], ReadLinkChain(middle).at(0));
    const timespec written = {chain[1].writtenSeconds, chain[1].writtenNanoseconds};
    Stamp(middle, Shifted(written, 1000));  // touch -h: a person says it is new
    EXPECT_NE(ReadLinkChain(folder / "com2"), chain);
    fs::remove(middle);
    fs::create_symlink("/dev/null", middle);  // the same words, written anew
    Stamp(middle, Shifted(written, 2000));
    EXPECT_NE(ReadLinkChain(folder / "com2"), chain);

    EXPECT_EQ(ReadLinkChain(folder / "com3"), LinkChain{});  // nothing there
    EXPECT_EQ(ReadLinkChain("/dev/null"), LinkChain{});      // no link
}

TEST(TerminalChecks, ASessionsControllingTerminalIsToldFromOtherTerminals) {
    const baslink::testing::SessionTerminal session;
    const TestLine line;
    EXPECT_TRUE(IsSessionTerminal(DeviceNumber(session.path())));
    EXPECT_FALSE(IsSessionTerminal(DeviceNumber(line.SlavePath())));
    EXPECT_FALSE(IsSessionTerminal(DeviceNumber("/dev/null")));
}
