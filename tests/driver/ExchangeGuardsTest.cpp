// The rules around the driver's lock, on the static core with the driver's objects but
// without its worker: no message under the lock, no exchange started from inside another.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "DriverObjectsTest.h"
#include "SeccionCritica.h"
#include "SimulatedBus.h"
#include "UserInterface.h"
#include "baslink.h"

namespace {

using namespace baslink;
using sim::Bytes;
using sim::FaultAction;
using sim::FrameKind;

class ExchangeGuards : public DriverObjectsTest {
protected:
    // Records each message in `messages`, marked when its thread held the lock as it was
    // shown.
    void RecordMessagesAndTheLock() {
        platform::SetMessageRecorder([this](const std::string& text) {
            messages.push_back(text + (SeccionCritica.HeldByCurrentThread() ? " [held]" : ""));
        });
    }
};

TEST_F(ExchangeGuards, AMessageOfAnExchangeIsShownOnceTheLockIsLetGo) {
    LinkToNothing("com3");
    RecordMessagesAndTheLock();
    uint8_t data = 1;
    EXPECT_EQ(EscribirBloqueEpromQDK(3, 0, 1, &data), 0);
    EXPECT_EQ(messages, (std::vector<std::string>{"DLL AbrirPuerto: Imposible Abrir Puerto com3"}));

    // Deferred through nested holds to the outermost release.
    {
        std::lock_guard outer(SeccionCritica);
        {
            std::lock_guard inner(SeccionCritica);
            ShowLibraryMessage("uno");
        }
        EXPECT_EQ(messages.size(), 1u);
    }
    EXPECT_EQ(messages.back(), "uno");
}

TEST_F(ExchangeGuards, AnExportCalledFromTheWaitsMessagePumpingIsRefusedAndTheOuterCallUnharmed) {
    int argc = 1;
    char name[] = "guards";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    sim::SimulatedBus bus("com1");
    bus.board().setEeprom(0, {1, 2, 3, 4});
    bus.board().setEeprom(100, {9, 9, 9, 9});
    uint8_t inner[4] = {};
    ASSERT_EQ(LeerBloqueEpromQDK(1, 100, 4, inner), 1);  // opens the port
    bus.clearFrames();
    // A late reply keeps the outer call's wait pumping the timer's handler many times.
    baslink::sim::Fault late{FaultAction::DelayAnswer, {.kind = FrameKind::BoardFetch}, 1};
    late.delay = std::chrono::milliseconds(60);
    bus.injectFault(late);

    std::vector<int> innerResults;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const uint8_t one = 1;
        innerResults.push_back(LeerBloqueEpromQDK(1, 100, 4, inner));
        innerResults.push_back(EscribirBloqueEpromQDK(1, 100, 1, &one));
        ResetQDK(1);
    });
    timer.start();
    uint8_t outer[4] = {};
    EXPECT_EQ(LeerBloqueEpromQDK(1, 0, 4, outer), 1);
    timer.stop();

    EXPECT_EQ(Bytes(outer, outer + 4), (Bytes{1, 2, 3, 4}));
    ASSERT_GT(innerResults.size(), 2u);
    EXPECT_EQ(std::count(innerResults.begin(), innerResults.end(), 0),
              static_cast<std::ptrdiff_t>(innerResults.size()));
    EXPECT_EQ(bus.receivedCount(), 2u);  // the outer call's send and fetch, nothing else
    EXPECT_EQ(bus.board().resetCount(), 0u);
    // Outside the exchange the same call goes through.
    EXPECT_EQ(LeerBloqueEpromQDK(1, 100, 4, inner), 1);
}

}  // namespace
