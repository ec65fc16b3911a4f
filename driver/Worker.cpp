#include "Worker.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "Driver.h"
#include "NeverDestroyed.h"
#include "SeccionCritica.h"
#include "Threads.h"
#include "WorkerSteps.h"

namespace baslink {
namespace {

// What the worker's thread and its owner share. The thread keeps its own reference,
// so a thread let go by its owner still finds it.
struct WorkerControl {
    std::mutex mutex;
    std::condition_variable changed;
    bool terminate = false;      // the thread has been asked to end
    bool workAnnounced = false;  // WakeWorker since the worker last looked

    bool TerminationRequested() {
        std::lock_guard lock(mutex);
        return terminate;
    }
    // The pause between passes; a request to end cuts it short.
    void Pause(std::chrono::milliseconds duration) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, duration, [this] { return terminate; });
    }
    // Sleeps until work is announced or the end is requested, and takes the announcement.
    // False when the thread is to end.
    bool WaitForWork() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return terminate || workAnnounced; });
        workAnnounced = false;
        return !terminate;
    }
    void RequestTermination() { Raise(terminate); }
    void AnnounceWork() { Raise(workAnnounced); }

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

    // A thread still running is let go; it keeps what it shares with its owner alive.
    ~TMiThread() {
        if (thread_.joinable()) {
            thread_.detach();
        }
    }

    TMiThread(const TMiThread&) = delete;
    TMiThread& operator=(const TMiThread&) = delete;

    void Terminate() { control_->RequestTermination(); }
    void AnnounceWork() { control_->AnnounceWork(); }

    // Returns once the thread has ended.
    void Join() { thread_.join(); }

private:
    // Passes with the pause after each, for as long as they find work. A worker with nothing
    // to do sleeps until work is announced, instead of waking at every pause for nothing:
    // on an idle library those wake-ups were most of its processor time.
    static void Execute(WorkerControl& control) {
        platform::SetCurrentThreadPriority(platform::ThreadPriority::Highest);
        while (control.WaitForWork() && Parar == 0) {
            bool workLeft = true;
            while (workLeft && Parar == 0 && !control.TerminationRequested()) {
                workLeft = Pasada();
                control.Pause(std::chrono::milliseconds(DelayTransmisiones.load()));
            }
        }
        ThreadTerminado = 1;
        ReleaseDriverObjects();
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

void WakeWorker() {
    std::lock_guard lock(MiThread().mutex);
    if (MiThread().worker) {
        MiThread().worker->AnnounceWork();
    }
}

void StopWorker() {
    std::unique_lock lock(MiThread().mutex);
    if (MiThread().worker) {
        MiThread().worker->Terminate();
        return;
    }
    lock.unlock();
    // A holder of the lock (a handler run by an export's reply wait) may be using a port
    // object further down its stack; the unload releases the objects then.
    if (!SeccionCritica.HeldByCurrentThread()) {
        ReleaseDriverObjects();
    }
}

void WaitForWorkerEnd() {
    std::unique_ptr<TMiThread> worker;
    {
        std::lock_guard lock(MiThread().mutex);
        worker = std::move(MiThread().worker);
    }
    if (SeccionCritica.HeldByCurrentThread()) {
        return;  // the worker, if any, is let go by its destructor
    }
    if (worker) {
        worker->Join();
    } else {
        ReleaseDriverObjects();  // once more does nothing
    }
}

}  // namespace baslink
