#include "Worker.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "Driver.h"
#include "NeverDestroyed.h"
#include "Threads.h"

namespace baslink {
namespace {

// What the worker's thread and its owner share. The thread keeps its own reference,
// so a thread that outlives its owner's wait still finds it.
struct WorkerControl {
    std::mutex mutex;
    std::condition_variable changed;
    bool terminate = false;  // the thread has been asked to end
    bool ended = false;      // its body has ended

    bool TerminationRequested() {
        std::lock_guard lock(mutex);
        return terminate;
    }
    // The pause between passes; a request to end cuts it short.
    void Pause(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, duration, [this] { return terminate; });
    }
    void RequestTermination() { Raise(terminate); }
    void MarkEnded() { Raise(ended); }

private:
    void Raise(bool& flag) {
        {
            std::lock_guard lock(mutex);
            flag = true;
        }
        changed.notify_all();
    }
};

class TMiThread {
public:
    // Throws std::system_error when the thread cannot be created.
    TMiThread()
        : control_(std::make_shared<WorkerControl>()),
          thread_([control = control_] { Execute(*control); }) {}

    ~TMiThread() {
        std::unique_lock lock(control_->mutex);
        if (control_->ended) {
            lock.unlock();
            thread_.join();
        } else {
            thread_.detach();
        }
    }

    TMiThread(const TMiThread&) = delete;
    TMiThread& operator=(const TMiThread&) = delete;

    void Terminate() { control_->RequestTermination(); }

    void WaitForEnd(std::chrono::milliseconds limit) {
        std::unique_lock lock(control_->mutex);
        control_->changed.wait_for(lock, limit, [this] { return control_->ended; });
    }

private:
    static void Execute(WorkerControl& control) {
        platform::SetCurrentThreadPriority(platform::ThreadPriority::Highest);
        while (!control.TerminationRequested() && Parar == 0) {
            control.Pause(std::chrono::milliseconds(DelayTransmisiones.load()));
        }
        ThreadTerminado = 1;
        ReleaseDriverObjects();
        control.MarkEnded();
    }

    std::shared_ptr<WorkerControl> control_;
    std::thread thread_;
};

// The one worker; none when it could not be created or once it has been let go.
// The stop may come from any thread, so the reference is kept under its own lock.
struct WorkerSlot {
    std::mutex mutex;
    std::unique_ptr<TMiThread> worker;
};

WorkerSlot& MiThread() {
    // Like the port objects, it may be needed after static destruction; the stop lets the
    // thread go.
    static NeverDestroyed<WorkerSlot> slot;
    return slot.get();
}

}  // namespace

bool StartWorker() {
    std::lock_guard lock(MiThread().mutex);
    try {
        MiThread().worker = std::make_unique<TMiThread>();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void StopWorker() {
    std::unique_lock lock(MiThread().mutex);
    if (MiThread().worker) {
        MiThread().worker->Terminate();
    } else {
        lock.unlock();
        ReleaseDriverObjects();
    }
}

void WaitForWorkerEnd(std::chrono::milliseconds limit) {
    std::unique_ptr<TMiThread> worker;
    {
        std::lock_guard lock(MiThread().mutex);
        worker = std::move(MiThread().worker);
    }
    if (worker) {
        worker->WaitForEnd(limit);
    }
}

}  // namespace baslink
