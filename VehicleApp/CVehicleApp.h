// The plug-in's one application object: what is common to every registered module (the
// host functions looked up at registration, the trace source, bus and recording state,
// the locks and events). Per-module state lives in the module records of the shared
// module list. Each operation is defined in the folder of its subsystem.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "VehicleApp/core/HostTrace.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ModuleList.h"
#include "VehicleApp/core/ModuleRecord.h"
#include "VehicleApp/discovery/GuidedTestThreads.h"
#include "VehicleApp/receive/FreezeFrameStore.h"
#include "platform/Platform.h"

struct ModuleInfo;

namespace marl {

class SharedState;

constexpr const char* kQueryListMutexName = "1002 Marl J1939 - Mutex to Protect the Query Thread List.";
constexpr const char* kResponseEventName = "1002 Marl J1939 - Event for when request sent on bus.";
constexpr const char* kAbortTestEventName = "1002 Marl J1939 - Event for aborting tests.";
constexpr const char* kExitTestEventName = "1002 Marl J1939 - Event for exiting tests.";
constexpr const char* kTestScreenMutexName = "MarlJ1939 APP ID Display Test Screen Mutex";

constexpr int32_t kNoSendHandle = -1;
constexpr int32_t kNoAwaitedPgn = -1;
constexpr uint32_t kDefaultResponseWindow = 400;
constexpr int kCategoryIdCount = 9;
constexpr int16_t kNoCategory = -1;

class CVehicleApp {
public:
    // The first module's handle is handed over by the creating entry but not kept.
    explicit CVehicleApp(int32_t firstModuleHandle);
    ~CVehicleApp();
    CVehicleApp(const CVehicleApp&) = delete;
    CVehicleApp& operator=(const CVehicleApp&) = delete;

    // False when a kernel object could not be created; the entry then answers 43.
    bool Valid() const;

    // Ties the object to its shared state; done once, before any other thread can see
    // the object, since the receive thread reads both pointers without a lock.
    void Attach(SharedState* shared, uint32_t uiHandle);
    // Set by the registering entry before every registration.
    void SetUiHandle(uint32_t uiHandle) { uiHandle_ = uiHandle; }
    SharedState* Shared() const { return shared_; }
    ModuleList* Modules() const { return moduleList_; }
    uint32_t UiHandle() const { return uiHandle_.load(); }

    // ---- module table (core/ModuleTable.cpp) ----
    // Valid handles are 1 to 255; anything else is traced and refused.
    bool CheckHandle(int32_t moduleHandle);
    ModuleRecordPtr FindModule(int32_t moduleHandle);
    // The first record other than `except` on `channel`; null when `except` is alone there.
    ModuleRecordPtr FindByChannel(const ModuleRecord* except, int16_t channel);
    int32_t FindSendHandle(uint8_t componentSa, int16_t channel);
    // The handles of the modules that send through `sendHandle`'s connection.
    std::vector<int32_t> ModulesOnConnection(int32_t sendHandle);
    // Creates the record, gives it its send handle (its own on the first module of a
    // channel, else the first module's), and puts it at the front of the module list.
    ModuleRecordPtr AddModuleRecord(int32_t moduleHandle, const ModuleInfo& info, bool firstOnChannel);
    // Removes the record from the list; it is destroyed when the last user lets go of it.
    ModuleRecordPtr RemoveModuleRecord(int32_t moduleHandle);
    const std::vector<int32_t>& SendHandles() const { return sendHandles_; }
    platform::CriticalSection& ModuleLock() { return moduleLock_; }
    platform::CriticalSection& SendLock() { return sendLock_; }

    // ---- host trace source (core/HostTrace.cpp) ----
    HostTrace& Trace() { return trace_; }

    // ---- registration, component identification, finishing, sending (core/) ----
    // Registration of one module (core/Registration.cpp).
    uint16_t GetDeviceId();
    uint16_t OverrideZorvRp1210Implementation(int32_t moduleHandle);
    uint16_t ConnectToBus(int32_t moduleHandle, int16_t channel, bool firstOnChannel);
    // The adapter's product id (core/ProductId.cpp); 0 when the host cannot tell.
    int32_t GetProductId();
    // Adapters whose supported-PGN discovery waits for registration completion.
    bool IsDeferredDiscoveryAdapter() const;
    // Picks the parameter file and component for the module and loads them
    // (core/ParameterFileLoader.cpp).
    uint16_t GetJ1939NameAndLoadBinFile(ModuleRecord& record);
    uint16_t LoadParameterFile(int32_t moduleHandle, const wchar_t* vehicleName, const char* componentName,
                               const wchar_t* fileName);
    // Names the component after the address the ECU's J1939 NAME stands for and keeps
    // that address as the record's component SA (core/ComponentIdentification.cpp).
    void GetComponentNameByJ1939Name(ModuleRecord& record, char* componentName, size_t componentCapacity,
                                     wchar_t* fileName, size_t fileCapacity);
    // Filter, address claim, categories and discovery (core/FinishRegistration.cpp). The
    // second form works on a record the caller already holds (in playback it is not in
    // the module list); a null record gives 5.
    uint16_t FinishRegistration(int32_t moduleHandle);
    uint16_t FinishRegistration(int32_t moduleHandle, const ModuleRecordPtr& record);
    uint16_t SetFilterForSourceAddress(const ModuleRecord& record);
    uint16_t SendClaimDiagToolAddress(int32_t sendHandle);
    // The connection the module's bus commands go through: the send handle registered
    // for its address and channel, or the record's own when none is registered.
    int32_t BusHandleOf(const ModuleRecord& record);
    // Puts a message on the bus and, where asked, waits for the receive path to report
    // the answer (core/MessageSender.cpp).
    uint16_t SendTimedMessage(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t awaitedPgn,
                              bool expectAnswer, uint8_t attempts, uint16_t timeoutMs);
    // Asks, when the host's configuration says so, whether only supported parameters are
    // shown (receive/SupportedParametersPrompt.cpp).
    void PromptShowOnlySupported(uint32_t uiHandle);

    // ---- discovery (discovery/) ----
    // Sends a J1939 Request for `pgn` through SendTimedMessage, awaiting that PGN.
    uint16_t RequestPgn(int32_t sendHandle, uint32_t pgn, uint8_t destination, bool expectAnswer,
                        uint16_t timeoutMs, uint8_t attempts);
    // Records the PGN behind one data point in the module's table (unless the data point
    // is a guided test).
    void BuildSupportedPgnListByTeskid(ModuleRecord& module, uint32_t teskId);
    // Fills the module's table from its "RequestPGNs" data points (or, on adapter 0x47,
    // from the host's discovery identifiers and every data point).
    void BuildSupportedPgnList(ModuleRecord& module);
    // Probes each not yet answered PGN behind the data points once at the module's
    // address and, still unanswered, globally; then records their PGNs.
    void RequestPgnsForTeskIds(int32_t moduleHandle, const std::vector<uint32_t>& teskIds);
    std::vector<uint32_t> TeskIdsForUdi(int32_t moduleHandle, uint32_t udi);
    // Requests, `passes` times, every PGN of the table that has not been answered.
    void RequestSupportedPgns(ModuleRecord& module, uint8_t destination, int passes);
    // The whole discovery for one module; 3 when there is none.
    uint16_t BuildAndRequestSupportedPgns(ModuleRecord* module);
    void GetSupportedVehicleInfoPgns(ModuleRecord& module, std::vector<uint32_t>& pgns);
    uint16_t BuildVehicleInfoPgnList(ModuleRecord& module);
    void RequestCategoryPgns(int32_t moduleHandle, int16_t categoryId);
    void SetAllDataPointsVisible(ModuleRecord& module, bool defaultVisible);

    // ---- receive path, categories and the prompt (receive/) ----
    // (ParseMessage and GetVin are declared with the entries and host commands below.)
    // The record of the module at `sourceAddress` on the connection of `sendHandle`.
    ModuleRecordPtr FindModuleBySourceAddress(int32_t sendHandle, uint8_t sourceAddress);
    // The host's J1939 parser, looked up on first use and kept.
    zorv::ParseJ1939MsgFn GetParseMessageFunctionPointer();
    // Keeps the id of a category whose name marks one of the roles (trip data, PGNs to
    // probe, vehicle information...); the host's result of the id look-up, 0 otherwise.
    uint16_t ClassifyCategory(int32_t moduleHandle, int32_t categoryIndex, const char* name);
    // Requests the supported, periodically requested PGNs behind a category's data points
    // from the engine; false only when no module has the handle.
    bool UpdateCategoryData(int32_t moduleHandle, int16_t categoryId);

    // ---- completion, subscriptions and the query thread (discovery/) ----
    // One pass over the subscriptions: a Request for each one that is due, one every
    // 100 ms, while the bus is connected and no exit is signalled (discovery/QueryThread.cpp).
    void QuerySubscribedDatapoints();
    // Keeps the guided-test context, resets the two guided-test events and runs the test
    // on a thread of its own; always 0 (discovery/GuidedTestStart.cpp).
    uint16_t StartGuidedTest(int32_t moduleHandle, uint32_t teskId);
    // The body of a guided-test thread.
    void GuidedTestLoop(GuidedTestContext context);
    GuidedTestContext LastGuidedTest() const { return guidedTests_.LastContext(); }
    // Waits for every guided-test thread to end. The tests work on the application's
    // members, so this must run before any of them goes away.
    void JoinGuidedTests() { guidedTests_.JoinAll(); }

private:
    GuidedTestThreads guidedTests_;

public:
    // ---- visibility, health report, fuel-system information (discovery/) ----
    // Shows only the data points whose PGN the module answered, hides software
    // identification fields beyond the count the ECU reports and values that read as
    // not available; with the show-only-supported option off nothing changes. 11 when
    // the module never answered positively (then every data point is hidden), else 0.
    uint16_t SetVisibilityForSupportedPgns(ModuleRecord& module);
    // Requests the diagnostic PGNs (DM2, DM6, DM12, DM23, DM27, DM28, 40704) that the
    // module has not refused or ignored; always 0.
    uint16_t RequestDiagnosticPgns(ModuleRecord& module);
    // Refreshes the health-report data of the module on the bus and lets the host's
    // generator write the report; 0 for a non-empty report.
    uint16_t GenerateVehicleHealthReport(int32_t moduleHandle, wchar_t* text, int16_t* length);
    // The fixed make and model texts of the fuel system at address 18.
    void SetVehicleInfoStaticDataForFuelSystem(ModuleRecord& module);

    // ---- unregistration and teardown (core/Unregistration.cpp) ----
    void UnclaimBusAddress(int32_t sendHandle);
    uint16_t ClearDataManagerFaultCodeList(int32_t moduleHandle);

    // ---- entries whose workers follow in their subsystems ----
    uint16_t RegisterModule(uint32_t uiHandle, int32_t moduleHandle, const ModuleInfo& info);
    uint16_t UnregisterModule(int32_t moduleHandle);
    uint16_t NotifyDisconnect(int32_t moduleHandle);
    uint16_t RequestDiagnosticPgnsForHandle(int32_t moduleHandle);
    uint16_t ClearFaultCodes(int32_t moduleHandle);
    uint16_t ParseMessage(int32_t sendHandle, const uint8_t* message, uint16_t length, uint32_t timeStamp);
    uint16_t UpdateDatapointSubscriptions(int32_t moduleHandle, const uint32_t* teskIds, int32_t count,
                                          bool subscribe);
    uint16_t AppendDataToRecordingFile(uint32_t a, uint32_t b, uint16_t* data);
    uint16_t ReadDataFromRecordingFile(uint32_t a, int32_t b, int32_t c);
    uint16_t StartRecording(uint32_t recordingValue);
    void QueryLoop();

    // ---- host commands ----
    // The module's source address, 0xFE when no module has the handle.
    uint8_t GetModuleSourceAddress(int32_t moduleHandle);
    void ListFaultGroupIds(int32_t moduleHandle, wchar_t* text, int16_t* length);
    void RegistrationIsComplete(int32_t moduleHandle);
    uint16_t HandleFaultInfoRequest(int32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                    uint8_t* data, int16_t* extra, uint32_t* flag);
    uint16_t CallGenerateHealthReport(int32_t moduleHandle, wchar_t* text, int16_t* length);
    uint16_t GetVin(int32_t moduleHandle, wchar_t* text, int16_t* length);

    // ---- state read across threads ----
    std::atomic<bool> nameRequestPending{false};
    std::atomic<bool> recording{false};
    std::atomic<uint32_t> playbackStatus{0};
    std::atomic<uint8_t> awaitedResponseSa{kNullAddress};
    std::atomic<bool> faultListFlag{true};
    std::atomic<bool> showOnlySupported{true};
    std::atomic<int32_t> awaitedPgn{kNoAwaitedPgn};
    std::atomic<uint32_t> responseWindow{kDefaultResponseWindow};
    std::atomic<bool> module5Present{false};
    std::atomic<bool> connected{false};
    std::atomic<int32_t> productId{0};
    std::atomic<uint16_t> deviceId{0xFFFF};
    std::atomic<uint32_t> recordingValue{0};

    // Written while a module finishes registration, read by the command thread and the
    // workers of other modules.
    std::array<std::atomic<int16_t>, kCategoryIdCount> categoryIds;
    std::map<uint32_t, uint8_t> recordedPgns;

    // (state of the registration workers goes here)
    // ---- state of the discovery and receive workers ----
    // Set while a fault-clearing exchange runs: fault messages are not parsed meanwhile.
    std::atomic<bool> clearingInProgress{false};
    // The address a DM4 or DM30 request is aimed at; its answers are kept, not parsed.
    std::atomic<uint8_t> expectedDmSa{kGlobalAddress};
    // The last freeze frame from `expectedDmSa`, handed to the fault list.
    FreezeFrameStore freezeFrame;
    // The host's J1939 parser once found.
    std::atomic<zorv::ParseJ1939MsgFn> parseJ1939Msg{nullptr};

    platform::Event& ResponseEvent() { return responseEvent_; }
    platform::Event& AbortTestEvent() { return abortTestEvent_; }
    platform::Event& ExitTestEvent() { return exitTestEvent_; }

private:
    std::atomic<uint32_t> uiHandle_{0xFFFFFFFFu};
    SharedState* shared_ = nullptr;
    ModuleList* moduleList_ = nullptr;
    std::vector<int32_t> sendHandles_;
    platform::CriticalSection sendLock_;
    platform::CriticalSection moduleLock_;
    platform::NamedMutex queryListMutex_;
    platform::Event responseEvent_;
    platform::Event abortTestEvent_;
    platform::Event exitTestEvent_;
    platform::NamedMutex testScreenMutex_;
    HostTrace trace_;
};

}  // namespace marl
