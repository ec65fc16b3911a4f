#pragma once
// Records what a component delivers, from the reader thread, for the test's thread.

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "ThreadComPort.h"

namespace baslink::testing {

class ReceiveRecorder {
public:
    // Installs itself as the component's ReceiveCallBack.
    void Attach(TThreadComPort& port) {
        port.ReceiveCallBack = [this, &port](TThreadComPort& sender, const std::string& data) {
            std::lock_guard lock(mutex_);
            senderWasPort_ = senderWasPort_ && &sender == &port;
            deliveries_.push_back(data);
            changed_.notify_all();
        };
    }

    // Waits a few seconds at most for the n-th delivery; returns all seen so far.
    std::vector<std::string> WaitFor(std::size_t n) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(5), [&] { return deliveries_.size() >= n; });
        return deliveries_;
    }

    std::vector<std::string> Deliveries() {
        std::lock_guard lock(mutex_);
        return deliveries_;
    }

    bool SenderWasPort() {
        std::lock_guard lock(mutex_);
        return senderWasPort_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> deliveries_;
    bool senderWasPort_ = true;
};

}  // namespace baslink::testing
