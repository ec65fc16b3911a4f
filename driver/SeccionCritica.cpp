#include "SeccionCritica.h"

#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "NeverDestroyed.h"
#include "UserInterface.h"

namespace baslink {
namespace {

static_assert(std::is_trivially_destructible_v<CriticalSection>,
              "the lock must stay usable until the last thread of the library is gone");

// Only trivially destructible thread-local state: a thread-local object with a destructor
// would keep the library from being unloaded until every thread that touched it ended.
thread_local int holdDepth = 0;
thread_local bool insideExchange = false;

struct DeferredMessage {
    std::thread::id thread;
    std::string text;
};

// Messages waiting for their thread to release SeccionCritica.
struct DeferredMessages {
    std::mutex mutex;
    std::vector<DeferredMessage> waiting;

    void Add(std::string text) {
        std::lock_guard lock(mutex);
        waiting.push_back({std::this_thread::get_id(), std::move(text)});
    }

    std::vector<std::string> TakeThisThreads() {
        std::vector<std::string> taken;
        std::lock_guard lock(mutex);
        std::erase_if(waiting, [&taken](DeferredMessage& message) {
            if (message.thread != std::this_thread::get_id()) {
                return false;
            }
            taken.push_back(std::move(message.text));
            return true;
        });
        return taken;
    }
};

DeferredMessages& Deferred() {
    // A thread of the library may still release the lock while the process ends.
    static NeverDestroyed<DeferredMessages> messages;
    return messages.get();
}

}  // namespace

CriticalSection SeccionCritica;

void CriticalSection::lock() {
    mutex_.lock();
    ++holdDepth;
}

void CriticalSection::unlock() {
    const bool outermost = --holdDepth == 0;
    mutex_.unlock();
    if (outermost) {
        for (const std::string& text : Deferred().TakeThisThreads()) {
            platform::ShowMessage(text);
        }
    }
}

bool CriticalSection::HeldByCurrentThread() const {
    return holdDepth > 0;
}

void ShowLibraryMessage(std::string text) {
    if (SeccionCritica.HeldByCurrentThread()) {
        Deferred().Add(std::move(text));
    } else {
        platform::ShowMessage(text);
    }
}

ExchangeLock::ExchangeLock() {
    if (insideExchange) {
        return;
    }
    SeccionCritica.lock();
    insideExchange = true;
    held_ = true;
}

ExchangeLock::~ExchangeLock() {
    if (held_) {
        insideExchange = false;
        SeccionCritica.unlock();
    }
}

}  // namespace baslink
