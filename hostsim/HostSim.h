// Control API of the stand-in host, for tests and the command-line host. The plug-in
// itself never sees it: it reaches the host only through host/ZorvApi.h and the look-up.
//
// Every call is thread-safe. Functions are named as the plug-in knows them: imports by
// their exported name ("Zorv_Connect"), looked-up functions by their role
// ("SendJ1939Msg", "GetDeviceID"; see HostFunctionNames.h).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "host/ZorvLookup.h"
#include "host/ZorvPlugin.h"
#include "host/ZorvRecords.h"
#include "host/ZorvTypes.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/HostSimExport.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

// Result the host gives when it has nothing for what was asked (an unknown data point,
// resource, NAME, fault or component).
constexpr ZResult kResultNotFound = 100;
// Result of Zorv_GetTeskIdsFromUdiList when the caller's list is too small.
constexpr ZResult kResultUdiListTooSmall = 21;
// Results of loading a parameter file that is not in the data folder, or is not a valid
// parameter database (LastDatabaseError says why).
constexpr ZResult kResultFileNotFound = 101;
constexpr ZResult kResultBadFile = 102;
// Result for arguments the host cannot use (a message shorter than its header, a connect
// text without a channel, a malformed filter command).
constexpr ZResult kResultBadArgument = 103;

// Module id the host reports for a handle nobody configured.
constexpr ZModuleId kDefaultModuleId = zorv::kModuleIdMarlJ1939;
constexpr uint16_t kDefaultDeviceId = 1;

// Back to the state of a freshly loaded host: empty logs and traces, default results,
// every host function present, no other module's functions, empty database.
HOSTSIM_API void Reset();

// ---- call log -----------------------------------------------------------------------

HOSTSIM_API std::vector<Call> Calls();
HOSTSIM_API std::vector<Call> CallsTo(const std::string& function);
HOSTSIM_API size_t CallCount(const std::string& function);
HOSTSIM_API void ClearCalls();

// ---- results ------------------------------------------------------------------------

// The result a function gives from now on (default 0). Out values are written only when
// the result is 0: a caller must not find data from a call that failed.
HOSTSIM_API void SetResult(const std::string& function, int32_t result);
// Results for the next calls, one per call, before the SetResult value applies again.
HOSTSIM_API void QueueResults(const std::string& function, const std::vector<int32_t>& results);
HOSTSIM_API void ClearResult(const std::string& function);
// A host failing wherever it fails: the host call that many calls from now (1: the next),
// whatever function it is, gives `result` and writes nothing; 0 calls turns it off.
// FailedCall names the function that failed so (empty until one did).
HOSTSIM_API void FailCallNumber(uint32_t calls, int32_t result);
HOSTSIM_API std::string FailedCall();

// ---- a hostile host -----------------------------------------------------------------

// Makes the host misbehave in the ways given (kHostile... in HostSimTypes.h, combined),
// until set to 0 or reset: counts and lengths larger than the caller's buffer, texts
// without terminators, null objects with success.
HOSTSIM_API void SetHostileBehaviour(uint32_t behaviours);

// ---- look-up ------------------------------------------------------------------------

// Makes the look-up answer null for (number, module id) until restored.
HOSTSIM_API void RemoveLookup(int32_t number, int32_t moduleId = zorv::kModuleIdHost);
HOSTSIM_API void RestoreLookup(int32_t number, int32_t moduleId = zorv::kModuleIdHost);
// Makes a function reachable by (number, module id), such as another module's entry;
// for module -1 it replaces the host's own function.
HOSTSIM_API void RegisterModuleFunction(int32_t number, int32_t moduleId, void* function);

// ---- modules and connection ---------------------------------------------------------

// The module id the host reports for a handle (default 1002). Handles set here are also
// the ones Zorv_GetModuleIDs and Zorv_GetModuleHandles report.
HOSTSIM_API void SetModuleId(ZModuleHandle handle, ZModuleId moduleId);
HOSTSIM_API void SetPlaybackStatus(uint32_t status);
HOSTSIM_API void SetDeviceId(uint16_t deviceId);
HOSTSIM_API void SetProductId(int16_t productId);
// Freezes the host's system time at a value; AdvanceSysTime moves a frozen time on.
HOSTSIM_API void SetSysTime(uint32_t milliseconds);
HOSTSIM_API void AdvanceSysTime(uint32_t milliseconds);
HOSTSIM_API void UseRealSysTime();

// ---- bus ----------------------------------------------------------------------------
//
// Zorv_Connect records a module's connection on the channel of its connect text; the
// first module of a channel owns the connection, later ones join it. Messages the bus
// brings reach the plug-in's ParseMessage entry on the host's receive thread, once per
// connection on the channel whose parsing is on (Zorv_EnableParsing) and whose filter
// (Zorv_SendCommand command 4) lets the source address through, with the connection's
// owner as handle. SendJ1939Msg puts a message onto the channel of the handle's
// connection, where the simulated network (LoadScenario) answers it.

// Decides the result of SendJ1939Msg for each message the plug-in sends (unless a result
// is set for "SendJ1939Msg"): 0 sends it on, anything else refuses it with that result.
// Without a rule every send succeeds. The rule runs on the plug-in's sending thread with
// no host lock held.
using SendResultRule = std::function<ZResult(ZModuleHandle handle, const std::vector<uint8_t>& message)>;
HOSTSIM_API void SetSendResultRule(SendResultRule rule);
// Messages the plug-in sent with SendJ1939Msg (host layout), in order, refused ones too:
// the host's own watcher of the bus, emptied by Reset.
HOSTSIM_API std::vector<std::vector<uint8_t>> SentMessages();
HOSTSIM_API void ClearSentMessages();
// The decoded NAME GetJ1939NAME gives for an address; an address without one answers
// kResultNotFound.
HOSTSIM_API void SetJ1939Name(uint8_t address, const J1939DecodedName& name);
// CheckAssignable's answer for a pair of values, and for every other pair (default false).
HOSTSIM_API void SetAssignable(uint32_t first, uint32_t second, bool assignable);
HOSTSIM_API void SetAssignableDefault(bool assignable);

// The plug-in's ParseMessage entry that received messages go to; Detach returns once no
// delivery is in progress any more.
HOSTSIM_API void AttachPlugin(zorv::FnParseMessage parse);
HOSTSIM_API void DetachPlugin();
// Hands a message (host layout) to the receive thread as if the bus on a channel had
// brought it: the way for a test's watcher to answer what the plug-in sent.
HOSTSIM_API void DeliverMessage(int channel, const std::vector<uint8_t>& message);
// True once the network has nothing waiting to be carried and the receive thread has
// handed out everything (broadcast timers do not count).
HOSTSIM_API bool WaitForBus(uint32_t timeoutMs);
HOSTSIM_API ConnectionState Connection(ZModuleHandle handle);

// ---- simulated network --------------------------------------------------------------

// Loads a scenario (see Scenario.h for the format) in place of the running one, from a
// file, a JSON text, or the example truck of the data folder (trucks/default-truck.json).
// Returns an empty text when the network runs, else what is wrong. The ECUs claim their
// addresses at once, so the host knows their NAMEs, and CheckAssignable answers from
// those NAMEs while the network runs.
HOSTSIM_API std::string LoadScenario(const std::string& path);
HOSTSIM_API std::string LoadScenarioText(const std::string& json);
HOSTSIM_API std::string LoadDefaultScenario();
HOSTSIM_API void UnloadScenario();

// ---- watching the bus ----------------------------------------------------------------
//
// Watchers see everything the host's bus carries while they are watched: every whole
// message in both directions (what the plug-in sends, refused or not, before the bus
// carries it, and what the bus brings, before the plug-in receives it), and every CAN
// frame. They are called on the thread that carries the message or frame; calls to one
// watcher never overlap. A watcher may answer with DeliverMessage.
struct BusWatcher {
    std::function<void(const TrafficRecord& message)> message;  // may be empty
    std::function<void(const BusFrame& frame)> frame;           // may be empty
};
HOSTSIM_API uint32_t AddBusWatcher(BusWatcher watcher);
// Once this returns the watcher is not running and is never called again.
HOSTSIM_API void RemoveBusWatcher(uint32_t id);

// Watching lasts as long as the watch (or until Stop); Reset ends every watch.
class BusWatch {
public:
    BusWatch() = default;
    explicit BusWatch(uint32_t id) : id_(id) {}
    BusWatch(BusWatch&& other) noexcept : id_(other.id_) { other.id_ = 0; }
    BusWatch& operator=(BusWatch&& other) noexcept {
        if (this != &other) {
            Stop();
            id_ = other.id_;
            other.id_ = 0;
        }
        return *this;
    }
    BusWatch(const BusWatch&) = delete;
    BusWatch& operator=(const BusWatch&) = delete;
    ~BusWatch() { Stop(); }

    bool Active() const { return id_ != 0; }
    void Stop() {
        if (id_ != 0) RemoveBusWatcher(id_);
        id_ = 0;
    }

private:
    uint32_t id_ = 0;
};

inline BusWatch WatchBus(BusWatcher watcher) { return BusWatch(AddBusWatcher(std::move(watcher))); }

// Writes every frame the bus carries to a candump log (channel n is "can<n-1>") until the
// watch stops, when the file is complete. Empty text when the file is open.
HOSTSIM_API std::string WatchBusToCandump(const std::string& path, BusWatch& watch);

// Keeps every whole message the bus carries while it lives, in order.
class BusRecorder {
public:
    BusRecorder()
        : state_(std::make_shared<State>()),
          watch_(WatchBus({[state = state_](const TrafficRecord& message) {
                               std::lock_guard<std::mutex> lock(state->mutex);
                               state->messages.push_back(message);
                           },
                           nullptr})) {}

    std::vector<TrafficRecord> Messages() const {
        std::lock_guard<std::mutex> lock(state_->mutex);
        return state_->messages;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(state_->mutex);
        state_->messages.clear();
    }
    // Keeps what was recorded and records no more.
    void Stop() { watch_.Stop(); }

private:
    struct State {
        std::mutex mutex;
        std::vector<TrafficRecord> messages;
    };
    std::shared_ptr<State> state_;
    BusWatch watch_;  // after state_: stops watching before the messages go
};

// ---- bus log replay -----------------------------------------------------------------

// Replays the frames of a candump log onto a channel at a speed factor (0: as fast as
// possible) on a thread of its own; empty text when it started. Watchers see the frames
// and the reassembled messages.
HOSTSIM_API std::string ReplayBusLog(const std::string& path, int channel, double speed);
HOSTSIM_API bool WaitForReplay(uint32_t timeoutMs);
HOSTSIM_API void StopReplay();
HOSTSIM_API ReplayStats LastReplay();

// ---- a captured bus played into modules ---------------------------------------------
//
// A capture of a real truck holds no answers to what the plug-in would ask, so the host
// plays it in as it plays a recording back: every ECU that sent becomes a module in
// playback, and each message goes to its source's module with the capture's time stamp.

// The first pass: which ECUs sent (and the NAMEs they claimed), what was skipped. An
// empty interface name takes the interface of the first 29-bit frame.
HOSTSIM_API CaptureSummary ScanCapture(const std::string& path, const std::string& interfaceName);
// Modules report a playback status of 1, so the plug-in sends nothing and waits for
// nothing, and every claimed address has its NAME.
HOSTSIM_API void PrepareCapturePlayback(const CaptureSummary& capture);
// Hands each message of the capture to the module of its source address (sources without
// one are passed over) on the host's receive thread, time-stamped with the milliseconds
// since the first frame, at `speed` times the captured pace (0: as fast as possible),
// and waits until all were delivered; returns how many. Progress is reported from time to
// time on the calling thread.
HOSTSIM_API size_t PlayCapture(const std::string& path, const std::string& interfaceName,
                               const std::vector<std::pair<uint8_t, ZModuleHandle>>& modules, double speed,
                               const std::function<void(const CaptureProgress&)>& progress);
// Called for every value the host's J1939 parser decodes into a module's data point, on
// the receive thread, with the message's time stamp; null stops it. Reset stops it.
using DecodedValueListener = std::function<void(ZModuleHandle handle, uint32_t timeStamp, const DataPointState& value)>;
HOSTSIM_API void SetDecodedValueListener(DecodedValueListener listener);

// ---- names kept for tests not yet moved over ----------------------------------------

// SetSendResultRule under its earlier name.
using SendHook = SendResultRule;
inline void SetSendHook(SendHook hook) { SetSendResultRule(std::move(hook)); }
// A BusRecorder the host holds: Start begins a new one, Stop ends its recording, Traffic
// gives what it recorded; Reset forgets it.
HOSTSIM_API void StartTrafficCapture();
HOSTSIM_API void StopTrafficCapture();
HOSTSIM_API std::vector<TrafficRecord> Traffic();

// ---- parameter files ----------------------------------------------------------------

// The components a parameter file holds. A file without an entry holds every component
// asked for.
HOSTSIM_API void SetBinFileComponents(const std::wstring& fileName,
                                      const std::vector<std::string>& components);
// The components loaded for a handle (empty when nothing is loaded).
HOSTSIM_API std::vector<std::string> LoadedComponents(ZModuleHandle handle);

// ---- parameter database -------------------------------------------------------------
//
// A test describes a database by hand with AddDataPoint, AddCategory and
// SetDiscoveryUdis; while it does, that table answers for every module. Otherwise
// Zorv_LoadBinFileWithSpecifiedComponents reads the JSON parameter database of the data
// folder ("MARL_J1939.BIN" -> "MARL_J1939.json") and the module answers from a table of
// its own, which the host's J1939 parser fills with values.

HOSTSIM_API void AddDataPoint(const DataPointDefinition& dataPoint);
HOSTSIM_API DataPointState DataPoint(TESKID teskId);
HOSTSIM_API void AddCategory(const CategoryDefinition& category);
// What the host function 0x2214 lists.
HOSTSIM_API void SetDiscoveryUdis(const std::vector<ZUdi>& udis);

// The folder of the parameter databases and example trucks; an empty path restores the
// default ("data" beside the host library, else the source tree's data/).
HOSTSIM_API void SetDataFolder(const std::string& path);
HOSTSIM_API std::string DataFolderPath();
// Empty when a file is a valid parameter database, else what is wrong with it.
HOSTSIM_API std::string CheckDatabaseFile(const std::string& path);
// Why the last parameter file failed to load; empty after one that loaded.
HOSTSIM_API std::string LastDatabaseError();
// A data point as the module sees it (its own table, or the described one).
HOSTSIM_API DataPointState ModuleDataPoint(ZModuleHandle handle, TESKID teskId);
HOSTSIM_API DataPointState ModuleDataPoint(ZModuleHandle handle, const std::string& name);
// Every data point of the module's table, in the table's order.
HOSTSIM_API std::vector<DataPointState> ModuleDataPoints(ZModuleHandle handle);

// ---- faults -------------------------------------------------------------------------
//
// The fault-code database is the data folder's J1939_FAULTS.json (format in
// data/README.md): its groups (Active fed by DM1, Previously Active fed by DM2), the
// attributes of every J1939 fault and the texts of SPNs. A received SPN the file does not
// name gets a fault entry when first asked for, described by the module's data point of
// that SPN, else as "SPN <n>". While a test describes faults by hand (AddFaultGroup,
// AddFault), that table answers for every module instead, with the attribute texts and
// received bytes it describes.

HOSTSIM_API void AddFaultGroup(ZFaultGroupId groupId);
// A group with its name, status text and the message that feeds it (DM1 or DM2 PGN).
HOSTSIM_API void AddFaultGroup(const FaultGroupDefinition& group);
// Adds the fault, and its group when it is not there yet.
HOSTSIM_API void AddFault(const FaultDefinition& fault);
// What Zorv_GetRecvdFaultCodeCount answers for every module from now on, instead of the
// number of codes of the module's last DM1 and DM2.
HOSTSIM_API void SetReceivedFaultCount(uint16_t count);
// The last DM1 and DM2 the host's J1939 parser (ParseJ1939Msg) decoded for a module,
// single frames and reassembled ones alike; ClearFaultList forgets them.
HOSTSIM_API ReceivedFaultCodes ReceivedFaults(ZModuleHandle handle);
// Scaled-attribute objects handed out and not yet released.
HOSTSIM_API int32_t LiveScaledAttributes();
// Empty when a file is a valid fault-code database, else what is wrong with it.
HOSTSIM_API std::string CheckFaultDatabaseFile(const std::string& path);
// Why the data folder's fault-code database could not be read; empty when it was.
HOSTSIM_API std::string FaultDatabaseError();
// The module's fault screen: each received fault of each group, in the host's group order.
HOSTSIM_API FaultListView FaultList(ZModuleHandle handle);
// The fault screen's entries for codes as if the module's DM1 listed them: descriptions
// and FMI texts of codes the module no longer reports.
HOSTSIM_API std::vector<FaultListEntry> DescribeActiveCodes(ZModuleHandle handle, const std::vector<Dtc>& codes);
// The last DM4 freeze frame Zorv_ParseMsg kept for a module (found false: none).
HOSTSIM_API FreezeFrameRecord FreezeFrame(ZModuleHandle handle);
// The fault-information windows ZorvLite_FaultInfoMsg showed, in order.
HOSTSIM_API std::vector<FaultInfoWindow> FaultInfoWindows();

// The host's J1708 vehicle application (module 1001), absent by default. Present, the
// host lists module 1001 with the handle kJ1708AppHandle, and the look-up of its command
// entry (0x10404, 1001) gives a function that records each command it gets.
constexpr ZModuleHandle kJ1708AppHandle = 101;
HOSTSIM_API void SetJ1708AppPresent(bool present);
HOSTSIM_API std::vector<J1708Command> J1708Commands();

// ---- recordings ---------------------------------------------------------------------
//
// The host records: it begins a recording and gives its value to the plug-in's
// StartRecording entry; the plug-in hands received messages to Zorv_RecordMessage; at
// the end the host writes each module's recording file (its own section, see
// hostsim/database/RecordingFile.h) and the plug-in appends its sections to it.

HOSTSIM_API uint32_t BeginRecording();
// Writes the module's recording file: the messages recorded for the module, its label,
// address and channel, and the NAME the address claimed. Empty text when written.
HOSTSIM_API std::string WriteRecording(uint32_t recording, ZModuleHandle handle, const std::string& path,
                                       const std::string& label, uint8_t address, int channel);
HOSTSIM_API void EndRecording(uint32_t recording);
// The host's section of a recording file; empty text when it was read.
HOSTSIM_API std::string ReadRecording(const std::string& path, ModuleRecording& recording);
// Gets the host ready to play a recording back without a bus: modules report a playback
// status of 1 and the recorded address claims its recorded NAME.
HOSTSIM_API void PreparePlayback(const ModuleRecording& recording);
// Hands the recorded messages to the plug-in's receive entry for the module, in order and
// with their recorded time stamps, on the host's receive thread, and waits until all were
// delivered; returns how many.
HOSTSIM_API size_t PlayBack(const ModuleRecording& recording, ZModuleHandle handle);

// ---- user interface, resources, reports ---------------------------------------------

// Answers of Zorv_UIGenericMsg, one per call; without one the answer is left untouched.
HOSTSIM_API void QueueUiAnswer(int32_t answer);
// Reply texts of Zorv_UIMsgDataInput, one per call. Without one the user leaves the
// screen: the reply is "204" (kUiReplyCancelled), so a guided test never waits for ever.
HOSTSIM_API void QueueUiReply(const std::wstring& reply);
// The next screen stays open, its call blocked like a screen the user has not answered,
// until the host closes the screens of its module (when the module stops its
// notifications, Zorv_RemoveNotifyModule), the host is reset, or 30 seconds pass; the
// reply is then "204".
HOSTSIM_API void QueueHeldUiScreen();
// True once a held screen is open, within `timeoutMs`.
HOSTSIM_API bool WaitForHeldUiScreen(uint32_t timeoutMs);
// Answers the screens nothing was scripted for, such as a person at the console does
// (title, "§"-separated message); null: the user leaves them.
HOSTSIM_API void SetUiResponder(
    std::function<std::wstring(ZModuleHandle handle, const std::wstring& title, const std::wstring& message)> responder);
// Every guided-test screen shown, with its reply, in order.
HOSTSIM_API std::vector<UiScreen> UiScreens();
HOSTSIM_API void SetResourceString(const std::wstring& name, const std::wstring& text);
// The text GenerateHealthReport writes (default empty).
HOSTSIM_API void SetHealthReport(const std::wstring& text);

// ---- host configuration file --------------------------------------------------------

// Makes the device path "\Hard Disk\Brakk\Zorv\Ini\AppConfig.ini" that the plug-in
// opens lead to a copy of a file, or to a file of the given contents: a private root
// folder holds the copy, and MARL_HOST_ROOT names that folder until cleared. Empty text
// when the file is in place.
HOSTSIM_API std::string SetAppConfigFile(const std::string& path);
HOSTSIM_API std::string SetAppConfigText(const std::string& contents);
HOSTSIM_API void ClearAppConfigFile();

// ---- traces -------------------------------------------------------------------------

HOSTSIM_API std::vector<TraceLine> Traces();
HOSTSIM_API void ClearTraces();
// Trace ids handed out by open trace source and not closed since.
HOSTSIM_API std::vector<ZTraceId> OpenTraceIds();

// Formats as the trace output does (%s wide, %S 8-bit, %d, %X, %%; see TraceFormat.h),
// in UTF-8.
HOSTSIM_API std::string FormatTrace(const wchar_t* format, ...);

// ---- texts --------------------------------------------------------------------------

HOSTSIM_API std::string ToUtf8(const std::wstring& text);
HOSTSIM_API std::wstring FromUtf8(const std::string& text);

}  // namespace hostsim
