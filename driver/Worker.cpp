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
struct ControlTrabajador {
    std::mutex mutex;
    std::condition_variable cambio;
    bool terminar = false;   // the thread has been asked to end
    bool terminado = false;  // its body has ended

    bool DebeTerminar() {
        std::lock_guard lock(mutex);
        return terminar;
    }
    // The pause between passes; a request to end cuts it short.
    void Pausa(std::chrono::milliseconds duracion) {
        std::unique_lock lock(mutex);
        cambio.wait_for(lock, duracion, [this] { return terminar; });
    }
    void PedirFin() { Avisar(terminar); }
    void MarcarTerminado() { Avisar(terminado); }

private:
    void Avisar(bool& bandera) {
        {
            std::lock_guard lock(mutex);
            bandera = true;
        }
        cambio.notify_all();
    }
};

class TMiThread {
public:
    // Throws std::system_error when the thread cannot be created.
    TMiThread()
        : control_(std::make_shared<ControlTrabajador>()),
          hilo_([control = control_] { Execute(*control); }) {}

    ~TMiThread() {
        std::unique_lock lock(control_->mutex);
        if (control_->terminado) {
            lock.unlock();
            hilo_.join();
        } else {
            hilo_.detach();
        }
    }

    TMiThread(const TMiThread&) = delete;
    TMiThread& operator=(const TMiThread&) = delete;

    void Terminate() { control_->PedirFin(); }

    void EsperarFin(std::chrono::milliseconds limite) {
        std::unique_lock lock(control_->mutex);
        control_->cambio.wait_for(lock, limite, [this] { return control_->terminado; });
    }

private:
    static void Execute(ControlTrabajador& control) {
        platform::SetCurrentThreadPriority(platform::ThreadPriority::Highest);
        while (!control.DebeTerminar() && Parar == 0) {
            control.Pausa(std::chrono::milliseconds(DelayTransmisiones.load()));
        }
        ThreadTerminado = 1;
        LiberarDriver();
        control.MarcarTerminado();
    }

    std::shared_ptr<ControlTrabajador> control_;
    std::thread hilo_;
};

// The one worker; none when it could not be created or once it has been let go.
// The stop may come from any thread, so the reference is kept under its own lock.
struct Trabajador {
    std::mutex mutex;
    std::unique_ptr<TMiThread> hilo;
};

Trabajador& MiThread() {
    // Like the port objects, it may be needed after static destruction; the stop lets the
    // thread go.
    static NeverDestroyed<Trabajador> trabajador;
    return trabajador.get();
}

}  // namespace

bool ArrancarTrabajador() {
    std::lock_guard lock(MiThread().mutex);
    try {
        MiThread().hilo = std::make_unique<TMiThread>();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void TerminarTrabajador() {
    std::unique_lock lock(MiThread().mutex);
    if (MiThread().hilo) {
        MiThread().hilo->Terminate();
    } else {
        lock.unlock();
        LiberarDriver();
    }
}

void EsperarFinTrabajador(std::chrono::milliseconds limite) {
    std::unique_ptr<TMiThread> hilo;
    {
        std::lock_guard lock(MiThread().mutex);
        hilo = std::move(MiThread().hilo);
    }
    if (hilo) {
        hilo->EsperarFin(limite);
    }
}

}  // namespace baslink
