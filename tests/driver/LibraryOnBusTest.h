#pragma once
// A test of the loaded library (libbaslink.so) with a simulated bus on com1.

#include "PortsFolderTest.h"
#include "SimulatedBus.h"

class LibraryOnBusTest : public PortsFolderTest {
protected:
    baslink::sim::SimulatedBus bus{"com1"};
};
