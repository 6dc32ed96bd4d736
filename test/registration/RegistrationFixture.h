// Common ground of the registration tests: a fresh stand-in host with a parameter
// database of the test's own, an application object with its shared state, and a
// stand-in for the receive path that answers a pending request from another thread, as
// the host's receive thread does.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"

namespace marl::test {

constexpr uint32_t kUiHandle = 0x55;
// With this module type only the engine, transmission and brake addresses get the
// supported-PGN discovery (whose pauses take seconds); registrations of modules at other
// addresses stay quick.
constexpr uint32_t kRestrictedModuleType = 0x4A;
constexpr uint8_t kQuickAddress = 0x05;

ModuleInfo Info(uint8_t address, int16_t channel = 1, const char* make = "",
                uint32_t moduleType = kRestrictedModuleType);

// The message the plug-in sends to request `pgn` from `destination`.
std::vector<uint8_t> RequestFor(uint32_t pgn, uint8_t destination);

// Lines of the host's trace output that contain `fragment`.
std::vector<hostsim::TraceLine> TracesWith(const std::string& fragment);

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Back to a fresh host with the test's own database.
    static void ResetHost();
    void TearDown() override;

    uint16_t Register(int32_t handle, const ModuleInfo& info) { return app.Registrations().RegisterModule(kUiHandle, handle, info); }
    // Puts the host's AppConfig.ini in place with these contents.
    static void UseAppConfig(const std::string& contents);

    // After `delayMs`, hands the receive path an answer of `pgn` from `sourceAddress`.
    void AnswerLater(uint32_t delayMs, uint8_t sourceAddress, uint32_t pgn);
    // Answers every Request the plug-in sends, `delayMs` after it went out: the addressed
    // ECU answers, or the engine when the Request went to everyone.
    void AnswerEveryRequest(uint32_t delayMs);
    void JoinAnswers();

    SharedState shared{1};
    CVehicleApp app{1};

private:
    std::mutex answersLock_;
    std::vector<std::thread> answers_;
};

}  // namespace marl::test
