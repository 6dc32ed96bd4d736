// A fresh stand-in host, one application object with its shared state, and helpers to
// add modules and to build and deliver J1939 messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"

namespace marl::testing {

// PGN (three bytes), priority 6, source, destination, data.
std::vector<uint8_t> Message(uint32_t pgn, uint8_t source, const std::vector<uint8_t>& data,
                             uint8_t destination = 0xF9);
// An Acknowledgement (0xE800) from `source` of `pgn` with the given control byte.
std::vector<uint8_t> Acknowledgement(uint8_t control, uint32_t pgn, uint8_t source);
// "00 EA 00 06 F9 FF" as the host's call log writes byte buffers.
std::string Hex(const std::vector<uint8_t>& bytes);

// A data point of the stand-in host's database.
hostsim::DataPointDefinition DataPoint(TESKID teskId, uint32_t pgn, int16_t security = 0, uint16_t guidedTest = 0);

class AppTest : public ::testing::Test {
protected:
    SharedState shared{1};
    CVehicleApp app{1};

    void SetUp() override;
    void TearDown() override;

    // A module at `address` on `channel`; the first module of a channel sends for it.
    ModuleRecordPtr AddModule(int32_t handle, uint8_t address, int16_t channel = 1);
    uint16_t Receive(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t timeStamp = 100000);
};

size_t ParsedCount();
// The byte buffers handed to ParseJ1939Msg, in order.
std::vector<std::string> Parsed();
// Requests the plug-in sent: (requested PGN, destination), in order.
std::vector<std::pair<uint32_t, uint8_t>> SentRequests();

}  // namespace marl::testing
