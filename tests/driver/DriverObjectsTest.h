#pragma once
// A test of the static core with the driver's objects (the port objects, the point-module
// list and the write queue) but without the library's start: no worker thread runs, so a
// test that needs the worker's steps runs them itself. The objects are released, and the
// stop flag and the message recorder cleared, when the test ends.

#include <string>
#include <vector>

#include "Driver.h"
#include "PortsFolderTest.h"
#include "UserInterface.h"

class DriverObjectsTest : public PortsFolderTest {
protected:
    DriverObjectsTest() { baslink::InicializarDriver(); }
    ~DriverObjectsTest() override {
        baslink::platform::SetMessageRecorder({});
        baslink::Parar = 0;
        baslink::ReleaseDriverObjects();
    }

    // From now on the library's messages go to `messages` instead of being shown.
    void RecordMessages() {
        baslink::platform::SetMessageRecorder(
            [this](const std::string& text) { messages.push_back(text); });
    }

    std::vector<std::string> messages;
};
