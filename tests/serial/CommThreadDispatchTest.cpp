// How the reader hands out the events of one wait, over a scripted device: a
// pseudo-terminal has no modem lines, so it cannot raise line events together with data.

#include "CommThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

using namespace baslink;
using namespace baslink::platform;

namespace {

// Answers each wait with the next scripted result, then waits for the close request.
class ScriptedDevice : public SerialDevice {
public:
    ScriptedDevice(std::deque<WaitResult> script, uint32_t queued, uint32_t modemStatus)
        : script_(std::move(script)), queued_(queued), modemStatus_(modemStatus) {}

    bool SetLineParams(uint32_t, uint8_t, uint8_t, uint8_t, std::string&) override { return true; }
    void Purge() override {}
    void SetDtr(bool) override {}
    void SetRts(bool) override {}
    uint32_t ModemStatus() override { return modemStatus_; }
    uint32_t BytesQueued() override { return queued_; }
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void*, std::size_t count) override { return count; }

    WaitResult WaitEvent(uint32_t) override {
        std::unique_lock lock(mutex_);
        if (!script_.empty()) {
            WaitResult next = script_.front();
            script_.pop_front();
            return next;
        }
        idle_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return closeRequested_; });
        return {true, 0};
    }

    void RequestClose() override {
        std::lock_guard lock(mutex_);
        closeRequested_ = true;
        changed_.notify_all();
    }

    // Waits until every scripted result has been taken and handled.
    void WaitUntilIdle() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return idle_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<WaitResult> script_;
    const uint32_t queued_;
    const uint32_t modemStatus_;
    bool idle_ = false;
    bool closeRequested_ = false;
};

// Runs a reader over the script and returns its handler calls in order.
std::vector<std::string> Dispatch(std::deque<WaitResult> script, bool waitForIdle = true) {
    auto device = std::make_unique<ScriptedDevice>(std::move(script), 4, MS_CTS_ON);
    ScriptedDevice& scripted = *device;
    TCommThread reader("fake", std::move(device));
    std::vector<std::string> calls;  // touched by the reader thread only until WaitFor
    reader.OnReceive = [&](uint32_t count) { calls.push_back("receive " + std::to_string(count)); };
    reader.OnStatus = [&](uint32_t mask, uint32_t modem) {
        calls.push_back("status " + std::to_string(mask) + " " + std::to_string(modem));
    };
    reader.Resume();
    if (waitForIdle) {
        scripted.WaitUntilIdle();
    }
    reader.SignalClose();
    reader.WaitFor();
    return calls;
}

}  // namespace

TEST(CommThreadDispatch, ReceiveGoesBeforeTheLineEventsOfTheSameWait) {
    const auto calls = Dispatch({{false, EV_RXCHAR | EV_CTS}, {false, EV_DSR | EV_ERR}});
    EXPECT_EQ(calls, (std::vector<std::string>{"receive 4", "status 8 16", "status 144 16"}));
}

TEST(CommThreadDispatch, ArrivalAloneGivesNoStatusCall) {
    EXPECT_EQ(Dispatch({{false, EV_RXCHAR}}), (std::vector<std::string>{"receive 4"}));
}

TEST(CommThreadDispatch, CloseWinsOverASimultaneousEvent) {
    EXPECT_TRUE(Dispatch({{true, EV_RXCHAR | EV_CTS}}, false).empty());
}

TEST(CommThreadDispatch, AGoneDeviceIsReportedAfterItsLastBytesAndEndsTheReader) {
    // The wait after the one that found the device gone is never taken.
    TCommThread reader(
        "fake", std::make_unique<ScriptedDevice>(
                    std::deque<WaitResult>{{false, EV_RXCHAR, true}, {false, EV_CTS}}, 4, 0));
    std::vector<std::string> calls;
    reader.OnReceive = [&](uint32_t count) { calls.push_back("receive " + std::to_string(count)); };
    reader.OnStatus = [&](uint32_t, uint32_t) { calls.push_back("status"); };
    reader.OnDeviceLost = [&] { calls.push_back("lost"); };
    reader.Resume();
    reader.WaitFor();  // ends by itself
    EXPECT_EQ(calls, (std::vector<std::string>{"receive 4", "lost"}));
}
