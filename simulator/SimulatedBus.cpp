#include "SimulatedBus.h"

#include <iostream>
#include <stdexcept>

#include "BusEngine.h"
#include "BusState.h"
#include "EepromFile.h"
#include "PortLink.h"
#include "PseudoTerminal.h"

namespace baslink::sim {

namespace {

constexpr uint16_t kHighestNode = 1023;  // ten bits travel in the node header
constexpr uint8_t kHighestPairType = 7;

Regulator& FindRegulator(BusState& state, uint16_t node) {
    const auto found = state.devices.regulators.find(node);
    if (found == state.devices.regulators.end()) {
        throw std::out_of_range("no regulator " + std::to_string(node) + " on the bus");
    }
    return found->second;
}

PointModule& FindModule(BusState& state, uint8_t address) {
    const auto found = state.devices.modules.find(address);
    if (found == state.devices.modules.end()) {
        throw std::out_of_range("no point module " + std::to_string(address) + " on the bus");
    }
    return found->second;
}

}  // namespace

Bytes BoardHandle::eeprom(uint16_t address, std::size_t size) const {
    std::lock_guard lock(state_->mutex);
    return state_->board.eeprom(address, size);
}

void BoardHandle::setEeprom(uint16_t address, const Bytes& bytes) {
    std::lock_guard lock(state_->mutex);
    state_->board.setEeprom(address, bytes);
}

unsigned BoardHandle::resetCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->board.resetCount();
}

Bytes RegulatorHandle::memory(uint8_t block, uint16_t offset, std::size_t size) const {
    std::lock_guard lock(state_->mutex);
    return FindRegulator(*state_, node_).memory(block, offset, size);
}

void RegulatorHandle::setMemory(uint8_t block, uint16_t offset, const Bytes& bytes) {
    std::lock_guard lock(state_->mutex);
    FindRegulator(*state_, node_).setMemory(block, offset, bytes);
}

Bytes RegulatorHandle::eeprom(uint16_t address, std::size_t size) const {
    std::lock_guard lock(state_->mutex);
    return FindRegulator(*state_, node_).eeprom(address, size);
}

void RegulatorHandle::setEeprom(uint16_t address, const Bytes& bytes) {
    std::lock_guard lock(state_->mutex);
    FindRegulator(*state_, node_).setEeprom(address, bytes);
}

PointModuleState PointModuleHandle::state() const {
    std::lock_guard lock(state_->mutex);
    return FindModule(*state_, address_).state();
}

void PointModuleHandle::setInput(int point, uint16_t value) {
    if (point < 1 || point > 8) {
        throw std::out_of_range("a point module has points 1 to 8");
    }
    std::lock_guard lock(state_->mutex);
    FindModule(*state_, address_).state().inputs[static_cast<std::size_t>(point - 1)] = value;
}

void PointModuleHandle::setStatusBit(bool on) {
    std::lock_guard lock(state_->mutex);
    FindModule(*state_, address_).state().statusBit = on;
}

SimulatedBus::SimulatedBus(const std::string& portName, BusOptions options)
    : state_(std::make_shared<BusState>()) {
    state_->timing = options.timing;
    state_->eepromFile = options.eepromFile;
    if (!options.eepromFile.empty()) {
        std::vector<uint8_t> image = state_->board.eepromImage();
        LoadEeprom(options.eepromFile, image);
        state_->board.setEeprom(0, image);
    }
    pty_ = std::make_unique<PseudoTerminal>();
    devicePath_ = pty_->slavePath();
    // Through the name this process holds, not the terminal's own: a link left behind by a
    // simulator that was killed then leads nowhere, rather than into whoever's terminal takes
    // the number next.
    link_ = std::make_unique<PortLink>(portName, pty_->heldSlavePath());
    linkPath_ = link_->path();
    engine_ = std::make_unique<BusEngine>(*state_, pty_->master());
}

SimulatedBus::~SimulatedBus() {
    stop();
}

void SimulatedBus::stop() {
    {
        std::lock_guard engineLock(engineMutex_);
        if (!engine_) {
            return;
        }
        engine_.reset();
        link_.reset();
        pty_.reset();
    }
    std::lock_guard lock(state_->mutex);
    if (!state_->eepromFile.empty()) {
        try {
            SaveEeprom(state_->eepromFile, state_->board.eepromImage());
        } catch (const std::exception& error) {
            std::cerr << "simulated bus: " << error.what() << '\n';
        }
    }
}

std::filesystem::path SimulatedBus::linkPath() const {
    return linkPath_;
}

std::string SimulatedBus::devicePath() const {
    return devicePath_;
}

BoardHandle SimulatedBus::board() const {
    return BoardHandle(state_);
}

RegulatorHandle SimulatedBus::addRegulator(uint16_t node) {
    if (node > kHighestNode) {
        throw std::invalid_argument("regulator nodes run from 0 to 1023");
    }
    std::lock_guard lock(state_->mutex);
    state_->devices.regulators.insert_or_assign(node, Regulator{});
    return RegulatorHandle(state_, node);
}

RegulatorHandle SimulatedBus::regulator(uint16_t node) const {
    std::lock_guard lock(state_->mutex);
    FindRegulator(*state_, node);
    return RegulatorHandle(state_, node);
}

void SimulatedBus::removeRegulator(uint16_t node) {
    std::lock_guard lock(state_->mutex);
    state_->devices.regulators.erase(node);
}

PointModuleHandle SimulatedBus::addPointModule(uint8_t address, PairTypes pairTypes) {
    for (const uint8_t type : pairTypes) {
        if (type > kHighestPairType) {
            throw std::invalid_argument("pair types run from 0 to 7");
        }
    }
    std::lock_guard lock(state_->mutex);
    state_->devices.modules.insert_or_assign(address, PointModule(address, pairTypes));
    return PointModuleHandle(state_, address);
}

PointModuleHandle SimulatedBus::pointModule(uint8_t address) const {
    std::lock_guard lock(state_->mutex);
    FindModule(*state_, address);
    return PointModuleHandle(state_, address);
}

void SimulatedBus::injectFault(const Fault& fault) {
    std::lock_guard lock(state_->mutex);
    state_->faults.add(fault);
}

void SimulatedBus::clearFaults() {
    std::lock_guard lock(state_->mutex);
    state_->faults.clear();
}

void SimulatedBus::queueRawAnswer(std::size_t requestLength, Bytes answer) {
    {
        std::lock_guard lock(state_->mutex);
        state_->rawAnswers.push_back({requestLength, std::move(answer)});
    }
    std::lock_guard engineLock(engineMutex_);
    if (engine_) {
        engine_->wake();
    }
}

void SimulatedBus::setLineTiming(const LineTiming& timing) {
    std::lock_guard lock(state_->mutex);
    state_->timing = timing;
}

std::vector<LoggedFrame> SimulatedBus::frames() const {
    std::lock_guard lock(state_->mutex);
    return state_->log;
}

std::vector<LoggedFrame> SimulatedBus::receivedFrames() const {
    std::lock_guard lock(state_->mutex);
    std::vector<LoggedFrame> received;
    for (const auto& frame : state_->log) {
        if (frame.direction == Direction::Received) {
            received.push_back(frame);
        }
    }
    return received;
}

std::size_t SimulatedBus::receivedCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->received;
}

void SimulatedBus::clearFrames() {
    std::lock_guard lock(state_->mutex);
    state_->log.clear();
    state_->received = 0;
}

bool SimulatedBus::waitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(state_->mutex);
    return state_->frameReceived.wait_for(lock, timeout, [&] { return state_->received >= count; });
}

}  // namespace baslink::sim
