#pragma once
// A handler that one thread may assign or clear while another thread calls it.
// A call works on a snapshot of the handler, so it sees either the old or the new
// function, never a half-assigned one, and the handler may itself reassign its slot.

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

namespace baslink {

template <typename Function>
class CallbackSlot;

template <typename... Args>
class CallbackSlot<std::function<void(Args...)>> {
public:
    using Function = std::function<void(Args...)>;

    CallbackSlot() = default;
    CallbackSlot(const CallbackSlot&) = delete;
    CallbackSlot& operator=(const CallbackSlot&) = delete;

    // An empty function clears the slot.
    CallbackSlot& operator=(Function function) {
        std::shared_ptr<const Function> next;
        if (function) {
            next = std::make_shared<const Function>(std::move(function));
        }
        {
            std::lock_guard lock(mutex_);
            current_.swap(next);
        }
        // The replaced handler is released here, outside the lock.
        return *this;
    }

    bool Assigned() const { return Snapshot() != nullptr; }

    // The handler as it is now; empty when none is assigned.
    std::shared_ptr<const Function> Snapshot() const {
        std::lock_guard lock(mutex_);
        return current_;
    }

    // Calls the handler if one is assigned.
    void operator()(Args... args) const {
        if (auto function = Snapshot()) {
            (*function)(std::forward<Args>(args)...);
        }
    }

private:
    mutable std::mutex mutex_;
    std::shared_ptr<const Function> current_;
};

}  // namespace baslink
