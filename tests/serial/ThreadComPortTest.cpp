// The component's own logic: defaults, the terminator text and the line-event mapping.

#include "ThreadComPort.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SerialDevice.h"

using namespace baslink;

namespace {

// The message of the EComError that SetTerminator raises, or "" when it raises none.
std::string TerminatorError(TThreadComPort& port, const std::string& text) {
    try {
        port.SetTerminator(text);
    } catch (const EComError& error) {
        return error.what();
    }
    return "";
}

const char kIllegal[] =
    "Illegal terminator string.\rformat : #<asciicode>#<asciicode>#<...>\rexample: #13#10";
const char kEmpty[] = "Terminator string cannot be empty!";

}  // namespace

TEST(ThreadComPort, FreshComponentDefaults) {
    TThreadComPort port;
    EXPECT_EQ(port.Port, "COM1");
    EXPECT_EQ(port.Baud, 115200u);
    EXPECT_EQ(port.DataBits, 8);
    EXPECT_EQ(port.Parity, ptNONE);
    EXPECT_EQ(port.StopBits, sbONE);
    EXPECT_EQ(port.ReceiveMode, rmTERM);
    EXPECT_EQ(port.WinQSizeIn, 8192u);
    EXPECT_EQ(port.WinQSizeOut, 8192u);
    EXPECT_EQ(port.GetTerminator(), "#13#10");
    EXPECT_EQ(port.Estado, 0);
    EXPECT_EQ(port.minTamanioRX, 0);
    EXPECT_FALSE(port.Active());
    EXPECT_EQ(port.BufferRX(), "");
}

TEST(ThreadComPort, TerminatorTextsThatParse) {
    TThreadComPort port;
    struct Case {
        const char* text;
        const char* reads;
    };
    for (const Case& c : std::vector<Case>{
             {"#13", "#13"},
             {"x65#66", "#65#66"},   // the first character is dropped, whatever it is
             {"#1#", "#1"},          // a trailing separator adds nothing
             {"#256#-1", "#0#255"},  // low eight bits
             {"# 7#+8#$1F#0x20", "#7#8#31#32"},
             {"#10#13#0", "#10#13#0"},
         }) {
        EXPECT_EQ(TerminatorError(port, c.text), "") << c.text;
        EXPECT_EQ(port.GetTerminator(), c.reads) << c.text;
    }
}

TEST(ThreadComPort, MalformedTerminatorFallsBackToCrLf) {
    TThreadComPort port;
    for (const char* text : {"##13", "#13#x", "#1 ", "#99999999999", "#-", "#$"}) {
        port.SetTerminator("#65");
        EXPECT_EQ(TerminatorError(port, text), kIllegal) << text;
        EXPECT_EQ(port.GetTerminator(), "#13#10") << text;
    }
}

TEST(ThreadComPort, EmptyTerminatorIsRefusedAndStaysEmpty) {
    TThreadComPort port;
    for (const char* text : {"#", ""}) {
        port.SetTerminator("#65");
        EXPECT_EQ(TerminatorError(port, text), kEmpty) << '"' << text << '"';
        EXPECT_EQ(port.GetTerminator(), "") << '"' << text << '"';
    }
}

TEST(ThreadComPort, StatusChangedReportsEachLineInvertedAndErrorsLast) {
    TThreadComPort port;
    std::vector<std::string> calls;
    port.OnCTSChanged = [&](bool on) { calls.push_back(std::string("cts ") + (on ? "1" : "0")); };
    port.OnDSRChanged = [&](bool on) { calls.push_back(std::string("dsr ") + (on ? "1" : "0")); };
    port.OnRLSDChanged = [&](bool on) { calls.push_back(std::string("rlsd ") + (on ? "1" : "0")); };
    port.OnRingChanged = [&](bool on) { calls.push_back(std::string("ring ") + (on ? "1" : "0")); };
    port.OnError = [&](TThreadComPort& sender) {
        calls.push_back(&sender == &port ? "error" : "error from elsewhere");
    };
    using namespace baslink::platform;
    port.StatusChanged(EV_ERR | EV_RING | EV_RLSD | EV_DSR | EV_CTS, MS_CTS_ON | MS_RLSD_ON);
    EXPECT_EQ(calls, (std::vector<std::string>{"cts 0", "dsr 1", "rlsd 0", "ring 1", "error"}));

    calls.clear();
    port.StatusChanged(EV_DSR, MS_DSR_ON | MS_RING_ON);
    EXPECT_EQ(calls, (std::vector<std::string>{"dsr 0"}));

    // Unassigned handlers are skipped.
    calls.clear();
    port.OnCTSChanged = nullptr;
    port.StatusChanged(EV_CTS | EV_ERR, 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"error"}));
}
