// The library's load and unload: its start runs here, from one constructor function,
// and its stop from one destructor function.

#include <chrono>

#include "Clock.h"
#include "ContainerLibrary.h"
#include "Driver.h"
#include "Messages.h"
#include "UserInterface.h"
#include "Varios.h"
#include "Worker.h"

namespace baslink {
namespace {

// How long the unload gives the worker to finish its exchange and release the ports
// before the library's code goes away.
constexpr std::chrono::seconds kWorkerEndWait{5};

void DesconexionDll() {
    PararDriver();
    platform::PumpMessages();
    platform::SleepMs(0);
    platform::SleepMs(10);
    WaitForWorkerEnd(kWorkerEndWait);
}

void ArrancarLibreria() {
    if (!StartWorker()) {
        platform::ShowMessage(texts::kCannotCreateWorker);
    }
}

__attribute__((constructor)) void OnLoad() {
    StartContainerLibrary();
    InicializarDriver();
    InicializarVarios();
    ArrancarLibreria();
}

// Runs at unload and at process exit, before the library's code goes away.
__attribute__((destructor)) void OnUnload() {
    DesconexionDll();
    StopContainerLibrary();
}

}  // namespace
}  // namespace baslink
