// A port opened through a link of the ports folder, on the static core: when its device
// and link go away (as a simulator's do when it is stopped) and come back, under another
// case of the name, when a killed simulator or bridge leaves its link behind, and when what
// the port opens is a session's terminal, whatever leads there.

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "DeviceLock.h"
#include "DriverObjectsTest.h"
#include "LinkHandling.h"
#include "PortNames.h"
#include "PseudoTerminal.h"
#include "SessionTerminal.h"
#include "SimulatedBus.h"
#include "SimulatorProcess.h"
#include "Timing.h"
#include "WorkerSteps.h"
#include "baslink.h"

namespace {

namespace fs = std::filesystem;
using baslink::sim::Bytes;
using baslink::sim::PseudoTerminal;
using baslink::sim::SimulatedBus;
using baslink::sim::test::SimulatorProcess;
using baslink::testing::ChangeTimeOf;
using baslink::testing::Eventually;
using baslink::testing::SessionTerminal;
using baslink::testing::Shifted;
using baslink::testing::Stamp;
using std::chrono::milliseconds;

constexpr uint8_t kDirect = 1;

// The devices whose path starts with `prefix` that this process holds open.
std::vector<std::string> DevicesHeld(const std::string& prefix) {
    std::vector<std::string> held;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", error)) {
        const std::string target = fs::read_symlink(entry.path(), error).string();
        if (target.starts_with(prefix)) {
            held.push_back(target);
        }
    }
    return held;
}

class PortLink : public DriverObjectsTest {};

TEST_F(PortLink, APortOpenedThroughALinkWaitsForItInsteadOfTheMachinesOwnDevice) {
    RecordMessages();
    uint8_t data[2] = {};
    {
        SimulatedBus first("com1");
        ASSERT_EQ(LeerBloqueEpromQDK(1, 0, 2, data), 1);
    }  // the link goes with the simulator

    // Without its link, com1 would name /dev/ttyS0; the port fails instead, and says so.
    EXPECT_TRUE(Eventually(
        [&] {
            EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 2, data), 0);
            return !messages.empty();
        },
        milliseconds(3000)));
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com1"});
    EXPECT_EQ(DevicesHeld("/dev/ttyS"), std::vector<std::string>{});

    SimulatedBus second("com1");
    second.board().setEeprom(0, {7, 8});
    EXPECT_TRUE(
        Eventually([&] { return LeerBloqueEpromQDK(1, 0, 2, data) == 1; }, milliseconds(3000)));
    EXPECT_EQ(Bytes(data, data + 2), (Bytes{7, 8}));
}

TEST_F(PortLink, ALinkBackUnderAnotherCaseOfTheNameIsFound) {
    uint8_t data[2] = {};
    {
        SimulatedBus first("COM3");
        ASSERT_EQ(LeerBloqueEpromQDK(3, 0, 2, data), 1);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(LeerBloqueEpromQDK(3, 0, 2, data), 0);
    testing::internal::GetCapturedStderr();

    SimulatedBus second("com3");
    second.board().setEeprom(0, {7, 8});
    EXPECT_EQ(LeerBloqueEpromQDK(3, 0, 2, data), 1);
    EXPECT_EQ(Bytes(data, data + 2), (Bytes{7, 8}));
}

int TerminalNumber(const std::string& device) {
    return std::stoi(device.substr(device.rfind('/') + 1));
}

// A pseudo-terminal of the number of `device`, which is free: new terminals take the lowest
// free number, so those made on the way are let go once it is reached. None when a number
// above it comes first: another program has taken it.
std::unique_ptr<PseudoTerminal> TakeTheNumberOf(const std::string& device) {
    std::vector<std::unique_ptr<PseudoTerminal>> lower;
    for (;;) {
        auto made = std::make_unique<PseudoTerminal>();
        const int number = TerminalNumber(made->slavePath());
        if (number == TerminalNumber(device)) {
            return made;
        }
        if (number > TerminalNumber(device)) {
            return nullptr;
        }
        lower.push_back(std::move(made));
    }
}

// What a terminal must be left as: no bytes, no lock on it, the settings it had. Its other side
// is `master`, as a terminal window holds it.
class UntouchedTerminal {
public:
    UntouchedTerminal(int master, std::string path) : master_(master), path_(std::move(path)) {
        EXPECT_EQ(tcgetattr(master_, &before_), 0);
    }

    void Expect() const {
        EXPECT_TRUE(DeviceIsFree(path_));
        termios after{};
        ASSERT_EQ(tcgetattr(master_, &after), 0);
        EXPECT_EQ(std::tuple(after.c_iflag, after.c_oflag, after.c_cflag, after.c_lflag,
                             cfgetospeed(&after)),
                  std::tuple(before_.c_iflag, before_.c_oflag, before_.c_cflag, before_.c_lflag,
                             cfgetospeed(&before_)));
        pollfd written{master_, POLLIN, 0};
        EXPECT_EQ(poll(&written, 1, 0), 0) << "bytes reached " << path_;
    }

private:
    int master_;
    std::string path_;
    termios before_{};
};

// Uses port `port` from a host call, a cache block and a queued write.
void UsePort(uint8_t port) {
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(port, kDirect, 5, 0, 0, &word), 1);
    AnadirLecturaVLX2(port, 0, 5, 0, 0, 2, kDirect, nullptr);
    EscribirVLX2_Byte(port, 0, 5, 0, 0, 1);
}

// Waits until port `port` has let `device` go, having met its loss.
void AwaitRelease(uint8_t port, const std::string& device) {
    EXPECT_TRUE(Eventually(
        [&] {
            baslink::ReadNextBlock(port);
            return DevicesHeld(device).empty();
        },
        milliseconds(3000)));
}

// Runs a simulator on `port`, used by this program or not, and kills it outright: its link is
// left behind, and its terminal's number goes to the next pseudo-terminal made on the machine.
// The terminal's path.
std::string KillASimulator(uint8_t port, bool used) {
    const std::string name = "com" + std::to_string(port);
    SimulatorProcess killed({"--port", name, "--regulator", "5"});
    killed.readLine();
    const fs::path link = baslink::platform::PortLinkFolder() + "/" + name;
    const std::string device = fs::canonical(link).string();
    if (used) {
        UsePort(port);
    }
    killed.stop(SIGKILL);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    if (used) {
        AwaitRelease(port, device);
    }
    return device;
}

// A host call and the worker's steps on `port` leave the terminal alone, and the host hears
// once that the port cannot be opened.
void ExpectPortNeverReaches(uint8_t port, const UntouchedTerminal& terminal,
                            const std::vector<std::string>& messages) {
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(port, kDirect, 5, 0, 0, &word), 0);
    baslink::SendPendingWrites();
    baslink::ReadNextBlock(port);
    terminal.Expect();
    EXPECT_EQ(messages, std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com" +
                                                 std::to_string(port)});
}

// The simulator's link leads to its terminal through the simulator's own descriptor of it, so
// once it is killed the link leads nowhere: for a program that used it, and for one started
// afterwards.
TEST_F(PortLink, ALinkLeftByAKilledSimulatorNeverLeadsIntoTheTerminalThatTakesItsNumber) {
    for (const bool used : {true, false}) {
        SCOPED_TRACE(used ? "a running host" : "a program started later");
        const uint8_t port = used ? 1 : 2;
        messages.clear();
        RecordMessages();
        const auto intruder = TakeTheNumberOf(KillASimulator(port, used));
        if (!intruder) {
            GTEST_SKIP() << "a program running beside the test took the killed simulator's "
                            "terminal";
        }
        const UntouchedTerminal untouched(intruder->master(), intruder->slavePath());
        ExpectPortNeverReaches(port, untouched, messages);
    }

    // A simulator started again makes its link anew, and the worker takes it by itself.
    SimulatorProcess restarted({"--port", "com1", "--regulator", "5"});
    restarted.readLine();
    EXPECT_TRUE(Eventually(
        [] {
            baslink::ReadNextBlock(1);
            return CogerEstadoVLX2(1, 5) == 1;
        },
        milliseconds(3000)));
    uint16_t word = 0;
    EXPECT_EQ(LeerWordRegulador(1, kDirect, 5, 0, 0, &word), 1);
}

}  // namespace

namespace baslink::testing {
void PrintTo(const LinkHandling& handling, std::ostream* out) {
    *out << handling.name;
}
}  // namespace baslink::testing

namespace {

// Renaming a link, giving it another owner or copying it back with its times does not write
// it anew: a running host still does not follow it to the terminal that took the number of the
// one that hung up.
class LeftLink : public PortLink,
                 public ::testing::WithParamInterface<baslink::testing::LinkHandling> {
protected:
    // A link written to a terminal's own name, as a person or a bridge writes it, used by
    // this program until its terminal hung up: the bridge was killed and left the link
    // behind. The terminal's path.
    std::string HangUpABridgeInUse() {
        std::string device;
        {
            SimulatedBus bridge("bridge");
            bridge.addRegulator(5);
            device = bridge.devicePath();
            ConfigHome().Link("com1", device);
            UsePort(1);
        }
        AwaitRelease(1, device);
        return device;
    }
};

TEST_P(LeftLink, HandledByOrdinaryToolsItStillNeverLeadsARunningHostIntoAnotherTerminal) {
    RecordMessages();
    const std::string device = HangUpABridgeInUse();
    GetParam().apply(ConfigHome().PortsFolder() / "com1");
    const auto intruder = TakeTheNumberOf(device);
    if (!intruder) {
        GTEST_SKIP() << "a program running beside the test took " << device;
    }
    const UntouchedTerminal untouched(intruder->master(), intruder->slavePath());
    ExpectPortNeverReaches(1, untouched, messages);
}

INSTANTIATE_TEST_SUITE_P(OrdinaryTools, LeftLink,
                         ::testing::ValuesIn(baslink::testing::kOrdinaryLinkHandlings),
                         [](const auto& info) { return std::string(info.param.tag); });

// A link that a person writes to a live terminal opens, whatever its times say against the
// terminal's.
TEST_F(PortLink, APersonsLinkToALiveTerminalOpensWhateverItsTimes) {
    struct Row {
        const char* name;
        uint8_t port;
        long writtenMs;  // against the terminal's making
    };
    const Row rows[] = {
        {"stamped minutes before its terminal", 1, -5 * 60 * 1000},
        {"stamped a day after its terminal", 2, 24 * 60 * 60 * 1000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SimulatedBus bus("sim" + std::to_string(row.port));
        bus.addRegulator(5).setMemory(0, 0, {0x34, 0x12});
        const std::string name = "com" + std::to_string(row.port);
        ConfigHome().Link(name, bus.devicePath());
        Stamp(ConfigHome().PortsFolder() / name,
              Shifted(ChangeTimeOf(bus.devicePath()), row.writtenMs));
        uint16_t word = 0;
        EXPECT_EQ(LeerWordRegulador(row.port, kDirect, 5, 0, 0, &word), 1);
        EXPECT_EQ(word, 0x1234);
    }
}

// A link or a chain of links that leads to a person's terminal (a number typed wrong, or taken
// by a new terminal window) never gets the port's frames, nor its lock or line settings.
TEST_F(PortLink, ASessionsTerminalIsNeverUsedThroughALinkOrAChain) {
    const SessionTerminal session;
    const UntouchedTerminal untouched(session.master(), session.path());
    RecordMessages();
    const fs::path middle = ConfigHome().Path() / "terminal";
    fs::create_symlink(session.path(), middle);
    ConfigHome().Link("com4", session.path());
    ConfigHome().Link("com5", middle);
    for (const uint8_t port : {4, 5}) {
        uint16_t word = 0;
        EXPECT_EQ(LeerWordRegulador(port, kDirect, 5, 0, 0, &word), 0);
        EXPECT_EQ(LeerWordRegulador(port, kDirect, 5, 0, 0, &word), 0);
    }
    untouched.Expect();
    EXPECT_EQ(messages, (std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com4",
                                                  "DLL AbrirPuerto: Imposible Abrir Puerto com5"}));
}

// Exit status of a child that could not set itself up.
constexpr int kNotSetUp = 125;

// Runs the library's C host on `port` in a child that `setUp` prepares between fork and exec
// (system calls only), with its standard streams on /dev/null, so that what reaches a terminal
// comes from the library alone. The host's exit status; none when it has not ended in time.
std::optional<int> RunHost(uint8_t port, const std::function<bool()>& setUp) {
    const std::string program = BASLINK_C_HOST;
    const std::string portText = std::to_string(port);
    char* const arguments[] = {const_cast<char*>(program.c_str()),
                               const_cast<char*>(portText.c_str()), nullptr};
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_RDWR);
        if (!setUp() || nothing < 0) {
            _exit(kNotSetUp);
        }
        for (int stream = 0; stream <= 2; ++stream) {
            dup2(nothing, stream);
        }
        execv(program.c_str(), arguments);
        _exit(127);
    }
    int status = 0;
    if (child < 0 || !Eventually([&] { return waitpid(child, &status, WNOHANG) == child; },
                                 milliseconds(10000))) {
        if (child > 0) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        return std::nullopt;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// /dev/tty is the opener's own terminal: a host in a terminal window, given a link to it,
// never writes into its own session.
TEST_F(PortLink, AHostsOwnTerminalIsNeverUsedThroughDevTty) {
    const PseudoTerminal own;
    const UntouchedTerminal untouched(own.master(), own.slavePath());
    ConfigHome().Link("com4", "/dev/tty");
    const std::string terminal = own.slavePath();
    const auto status = RunHost(4, [&] {
        // A session of its own, whose terminal is `own`, as a shell in a window has.
        const int fd = setsid() < 0 ? -1 : open(terminal.c_str(), O_RDWR);
        return fd >= 0 && ioctl(fd, TIOCSCTTY, 0) == 0;
    });
    ASSERT_TRUE(status);
    ASSERT_NE(*status, kNotSetUp) << "the host could not take " << terminal << " as its terminal";
    EXPECT_EQ(*status, 1);  // its exchanges failed
    untouched.Expect();
}

// Without a link, comN is the machine's /dev/ttyS<N-1>, where a serial console's login may
// run. A session's terminal put there, by a bind mount in a private mount namespace, is never
// used.
TEST_F(PortLink, ASessionsTerminalIsNeverUsedAsTheMachinesOwnPort) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "putting a terminal over /dev/ttyS0 needs root";
    }
    if (!fs::exists("/dev/ttyS0")) {
        GTEST_SKIP() << "this machine has no /dev/ttyS0 to put a terminal over";
    }
    const SessionTerminal session;
    const UntouchedTerminal untouched(session.master(), session.path());
    const std::string terminal = session.path();
    const auto status = RunHost(1, [&] {
        return unshare(CLONE_NEWNS) == 0 &&
               mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
               mount(terminal.c_str(), "/dev/ttyS0", nullptr, MS_BIND, nullptr) == 0;
    });
    ASSERT_TRUE(status);
    if (*status == kNotSetUp) {
        GTEST_SKIP() << "this machine gives no private mount namespace to bind a terminal in";
    }
    EXPECT_EQ(*status, 1);
    untouched.Expect();
}

// A link re-pointed, while the port opens, between a terminal another program holds and a
// session's: whatever the port finds at each look, the session's terminal is never used.
TEST_F(PortLink, ALinkRepointedWhileThePortOpensNeverLeadsIntoASession) {
    const SessionTerminal session;
    const UntouchedTerminal untouched(session.master(), session.path());
    const PseudoTerminal held;
    const int holder = open(held.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    RecordMessages();
    const fs::path link = ConfigHome().PortsFolder() / "com6";
    const fs::path next = ConfigHome().Path() / "next";
    ConfigHome().Link("com6", held.slavePath());
    std::atomic<bool> done{false};
    std::thread repointing([&] {
        for (bool toSession = true; !done; toSession = !toSession) {
            std::error_code error;
            fs::remove(next, error);
            fs::create_symlink(toSession ? session.path() : held.slavePath(), next, error);
            fs::rename(next, link, error);  // at once, as ln -sfn through a new name does
        }
    });
    // A call that reached the session would wait out its reply time: the deadline keeps a
    // failing run short.
    const auto start = baslink::testing::SteadyClock::now();
    uint16_t word = 0;
    for (int call = 0; call < 2000 && baslink::testing::Since(start) < milliseconds(3000); ++call) {
        EXPECT_EQ(LeerWordRegulador(6, kDirect, 5, 0, 0, &word), 0);
    }
    done = true;
    repointing.join();
    close(holder);
    untouched.Expect();
}

}  // namespace
