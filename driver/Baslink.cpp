// The library's load and unload: its start runs here, from one constructor function,
// and its stop from one destructor function.

#include "Clock.h"
#include "ContainerLibrary.h"
#include "Driver.h"
#include "Messages.h"
#include "SeccionCritica.h"
#include "UserInterface.h"
#include "Varios.h"
#include "Worker.h"

namespace baslink {
namespace {

void DesconexionDll() {
    PararDriver();
    platform::PumpMessages();
    platform::SleepMs(0);
    platform::SleepMs(10);
    // No thread of the library may be left running in code that is about to go away.
    WaitForWorkerEnd();
}

void ArrancarLibreria() {
    if (!StartWorker()) {
        ShowLibraryMessage(texts::kCannotCreateWorker);
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
