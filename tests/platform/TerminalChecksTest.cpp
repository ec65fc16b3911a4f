#include "TerminalChecks.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LinkHandling.h"
#include "SessionTerminal.h"
#include "TestLine.h"

using baslink::platform::CharacterDeviceNumber;
using baslink::platform::IsPseudoTerminal;
using baslink::platform::IsSessionTerminal;
using baslink::platform::ReadLinkWriting;
using baslink::platform::WrittenBeforeItsTerminal;
using baslink::testing::Shifted;
using baslink::testing::Stamp;
using baslink::testing::TemporaryConfigHome;
using baslink::testing::TestLine;

namespace {

namespace fs = std::filesystem;

bool LeadsToPseudoTerminal(const std::string& path) {
    const auto device = CharacterDeviceNumber(path);
    return device && IsPseudoTerminal(*device);
}

}  // namespace

TEST(TerminalChecks, OnlyTheTerminalSideOfAPseudoTerminalCountsAsOne) {
    TemporaryConfigHome links;
    const TestLine line;
    links.Link("com1", line.SlavePath());
    links.Link("com2", "/dev/null");  // a device, but no terminal
    const std::string folder = links.PortsFolder().string() + "/";
    EXPECT_TRUE(LeadsToPseudoTerminal(line.SlavePath()));
    EXPECT_TRUE(LeadsToPseudoTerminal(folder + "com1"));
    for (const std::string& path :
         {folder + "com2", folder, folder + "com3", std::string("/dev/ptmx")}) {
        EXPECT_FALSE(LeadsToPseudoTerminal(path)) << path;
    }
}

// What a link says and when it was written survive what ordinary tools do to it; through a
// chain of links the last one, which names the device, is the one that counts.
TEST(TerminalChecks, ALinksWritingSurvivesRenameOwnerAndCopyButNotAWritingAnew) {
    TemporaryConfigHome links;
    const fs::path middle = links.Path() / "port";
    fs::create_symlink("/dev/null", middle);
    links.Link("com1", "/dev/null");
    links.Link("com2", middle);
    const fs::path folder = links.PortsFolder();
    for (const auto& handling : baslink::testing::kOrdinaryLinkHandlings) {
        SCOPED_TRACE(handling.name);
        const auto before = ReadLinkWriting(folder / "com1");
        ASSERT_TRUE(before);
        EXPECT_EQ(before->target, "/dev/null");
        const fs::path after = handling.apply(folder / "com1");
        EXPECT_EQ(ReadLinkWriting(after), before);
        fs::rename(after, folder / "com1");
    }

    const auto ofChain = ReadLinkWriting(folder / "com2");
    EXPECT_EQ(ReadLinkWriting(middle), ofChain);
    const timespec written = {ofChain->writtenSeconds, ofChain->writtenNanoseconds};
    Stamp(middle, Shifted(written, 1000));  // touch -h: a person says it is new
    EXPECT_NE(ReadLinkWriting(folder / "com2"), ofChain);
    fs::remove(middle);
    fs::create_symlink("/dev/null", middle);  // the same words, written anew
    Stamp(middle, Shifted(written, 2000));
    EXPECT_NE(ReadLinkWriting(folder / "com2"), ofChain);

    EXPECT_FALSE(ReadLinkWriting(folder / "com3"));  // nothing there
    EXPECT_FALSE(ReadLinkWriting("/dev/null"));      // no link
}

// A link is written after its terminal; its times may still stand a little before the
// terminal's, on a folder that keeps whole seconds or whose clock runs behind.
TEST(TerminalChecks, ALinkWrittenWellBeforeItsTerminalIsToldFromTheTerminalsOwn) {
    struct Row {
        const char* name;
        baslink::testing::LinkTimes times;
        bool writtenBefore;
    };
    const Row rows[] = {
        {"written just after", {100, false, 0}, false},
        {"on a folder that keeps whole seconds", {0, true, 0}, false},
        {"on a folder whose clock runs 1.5 s behind", {-1500, false, 0}, false},
        {"both", {-1500, true, 0}, false},
        {"the terminal's mode changed 4 s after it was made", {100, false, 4000}, false},
        {"written 3 s before", {-3000, false, 0}, true},
        {"written an hour before", {-3600000, false, 0}, true},
        // A change of mode hides when the terminal was made: nothing to judge the link by.
        {"written an hour before, the terminal's mode changed since",
         {-3600000, false, 4000},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TemporaryConfigHome links;
        TestLine line;
        links.Link("com1", line.SlavePath());
        const fs::path link = links.PortsFolder() / "com1";
        baslink::testing::SetTimes(link, line.SlavePath(), row.times);
        EXPECT_EQ(WrittenBeforeItsTerminal(link), row.writtenBefore);
    }
    EXPECT_FALSE(WrittenBeforeItsTerminal("/dev/null"));  // no link
}

TEST(TerminalChecks, ASessionsControllingTerminalIsToldFromOtherTerminals) {
    const baslink::testing::SessionTerminal session;
    const TestLine line;
    EXPECT_TRUE(IsSessionTerminal(*CharacterDeviceNumber(session.path())));
    EXPECT_FALSE(IsSessionTerminal(*CharacterDeviceNumber(line.SlavePath())));
    EXPECT_FALSE(IsSessionTerminal(*CharacterDeviceNumber("/dev/null")));
}
