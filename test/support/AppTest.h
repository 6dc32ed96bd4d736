// The common ground of the plug-in's tests: a fresh stand-in host, one application
// object attached to its shared state, builders for J1939 messages and host records,
// and queries over what the plug-in told the host and put on the bus.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"

namespace marl::testing {

constexpr uint32_t kUiHandle = 0x55;
// With this module type only the engine, transmission and brake addresses get the
// supported-PGN discovery (whose pauses take seconds); registrations of modules at other
// addresses stay quick.
constexpr uint32_t kRestrictedModuleType = 0x4A;
constexpr uint8_t kQuickAddress = 0x05;
const std::vector<uint8_t> kValues = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80};
// The diagnostic PGNs (DM2, DM6, DM12, DM23, DM27, DM28, 40704) that the health report and
// the query thread's poll request, in their order.
const std::vector<uint32_t> kDiagnosticPgns = {65227, 65231, 65236, 64949, 64898, 64896, 40704};

// (requested PGN, destination) pairs, in order.
using Requests = std::vector<std::pair<uint32_t, uint8_t>>;
using Texts = std::vector<std::string>;
using hostsim::CallCount;
using hostsim::CallsTo;

// PGN (three bytes), priority 6, source, destination, data: the host's message layout.
std::vector<uint8_t> Message(uint32_t pgn, uint8_t source, const std::vector<uint8_t>& data = kValues,
                             uint8_t destination = 0xF9);
// An Acknowledgement (0xE800) from `source` of `pgn` with the given control byte.
std::vector<uint8_t> Acknowledgement(uint8_t control, uint32_t pgn, uint8_t source, uint8_t destination = 0xF9);
// The message the plug-in sends to request `pgn` from `destination`.
std::vector<uint8_t> RequestFor(uint32_t pgn, uint8_t destination);
bool IsRequest(const std::vector<uint8_t>& message);
// Bytes 6 to 8 of a message the plug-in sent: the PGN it requests.
uint32_t RequestedPgn(const std::vector<uint8_t>& message);

hostsim::DataPointDefinition DataPoint(TESKID teskId, uint32_t pgn, int16_t security = 0, uint16_t guidedTest = 0);
hostsim::CategoryDefinition Category(int16_t id, const std::string& name, std::vector<TESKID> teskIds = {});
ModuleInfo Info(uint8_t address, int16_t channel = 1, const char* make = "",
                uint32_t moduleType = kRestrictedModuleType);
// A NAME of this function from manufacturer 0x123.
J1939DecodedName NameWithFunction(uint8_t function);
// The query of the host's assignable check that asks whether an address may change.
constexpr uint32_t kAssignableQuery = 1;
// An ECU that may sit at any address and whose NAME the host has decoded.
void SelfConfigurableEcu(uint8_t address, const J1939DecodedName& name, bool nameAssignable);

// Whether each of these data points is shown.
std::vector<bool> Visible(const std::vector<TESKID>& teskIds);

// Trace lines that contain `fragment`.
std::vector<hostsim::TraceLine> TracesWith(const std::string& fragment);
// The result codes and the levels of the trace lines that contain `fragment`.
std::vector<ZResult> TraceCodes(const std::string& fragment);
std::vector<int32_t> TraceLevels(const std::string& fragment);
// A trace line of exactly this text, level and result code.
bool HasTrace(int32_t level, const std::string& text, ZResult code = 0);
// The arguments of every call to `function`, in the call log's text form; or only the
// argument at `index`.
std::vector<Texts> ArgsOf(const std::string& function);
Texts ArgOf(const std::string& function, size_t index);
// How many calls to `function` had `value` as their argument at `index`.
size_t CallsWithArg(const std::string& function, size_t index, const std::string& value);
Requests SentRequests();
size_t RequestCount(uint32_t pgn, uint8_t destination);
// The byte buffers handed to ParseJ1939Msg, in order.
Texts Parsed();
// Polls `condition` every 10 ms until it holds or `timeoutMs` have passed.
bool WaitUntil(const std::function<bool()>& condition, uint32_t timeoutMs = 5000);

class AppTest : public ::testing::Test {
protected:
    SharedState shared{1};
    CVehicleApp app{1};

    void SetUp() override;
    void TearDown() override;
    // Back to a fresh host with the test's own database.
    void ResetHost();
    // Database content every reset puts back.
    virtual void DescribeDatabase() {}

    // A module at `address` on `channel`; the first module of a channel sends for it.
    ModuleRecordPtr AddModule(int32_t handle, uint8_t address, int16_t channel = 1, uint32_t moduleType = 0);
    // The same, with its registration complete.
    ModuleRecordPtr AddCompletedModule(int32_t handle, uint8_t address, int16_t channel = 1, uint32_t moduleType = 0);
    uint16_t Receive(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t timeStamp = 100000);
    uint16_t Register(int32_t handle, const ModuleInfo& info);
    // Puts the host's AppConfig.ini in place with these contents.
    static void UseAppConfig(const std::string& contents);

    // After `delayMs`, hands the receive path an answer of `pgn` from `sourceAddress`,
    // from another thread as the host's receive thread does.
    void AnswerLater(uint32_t delayMs, uint8_t sourceAddress, uint32_t pgn);
    // After `delayMs`, hands `message` to the receive path from another thread.
    void DeliverLater(uint32_t delayMs, int32_t sendHandle, std::vector<uint8_t> message);
    // Answers every Request the plug-in sends, `delayMs` after it went out: the addressed
    // ECU answers, or the engine when the Request went to everyone.
    void AnswerEveryRequest(uint32_t delayMs);
    void JoinAnswers();

private:
    std::mutex answersLock_;
    std::vector<std::thread> answers_;
};

// Registration tests: a database described by the test answers for every parameter
// file, so the data folder's databases are not read and a file holds every component.
class RegistrationTest : public AppTest {
protected:
    void DescribeDatabase() override { hostsim::AddCategory(Category(1, "Engine")); }
};

}  // namespace marl::testing
