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
#include <string>
#include <vector>

#include "host/ZorvLookup.h"
#include "host/ZorvRecords.h"
#include "host/ZorvTypes.h"
#include "hostsim/HostFunctionNames.h"
#include "hostsim/HostSimExport.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

// Result the host gives when it has nothing for what was asked (an unknown data point,
// resource, NAME, fault or component).
constexpr ZResult kResultNotFound = 100;
// Result of Zorv_GetTeskIdsFromUdiList when the caller's list is too small.
constexpr ZResult kResultUdiListTooSmall = 21;

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
// the result is 0, as the host does.
HOSTSIM_API void SetResult(const std::string& function, int32_t result);
// Results for the next calls, one per call, before the SetResult value applies again.
HOSTSIM_API void QueueResults(const std::string& function, const std::vector<int32_t>& results);
HOSTSIM_API void ClearResult(const std::string& function);

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

// Called for every message the plug-in sends, after it is recorded; its result is the
// result of SendJ1939Msg unless a result is set for "SendJ1939Msg". It runs on the
// plug-in's sending thread; answers must reach the plug-in from another thread.
using SendHook = std::function<ZResult(ZModuleHandle handle, const std::vector<uint8_t>& message)>;
HOSTSIM_API void SetSendHook(SendHook hook);
// Messages sent with SendJ1939Msg, in order.
HOSTSIM_API std::vector<std::vector<uint8_t>> SentMessages();
// The decoded NAME GetJ1939NAME gives for an address; an address without one answers
// kResultNotFound.
HOSTSIM_API void SetJ1939Name(uint8_t address, const J1939DecodedName& name);
// CheckAssignable's answer for a pair of values, and for every other pair (default false).
HOSTSIM_API void SetAssignable(uint32_t first, uint32_t second, bool assignable);
HOSTSIM_API void SetAssignableDefault(bool assignable);

// ---- parameter files ----------------------------------------------------------------

// The components a parameter file holds. A file without an entry holds every component
// asked for.
HOSTSIM_API void SetBinFileComponents(const std::wstring& fileName,
                                      const std::vector<std::string>& components);
// The components loaded for a handle (empty when nothing is loaded).
HOSTSIM_API std::vector<std::string> LoadedComponents(ZModuleHandle handle);

// ---- parameter database -------------------------------------------------------------

HOSTSIM_API void AddDataPoint(const DataPointSpec& dataPoint);
HOSTSIM_API DataPointState DataPoint(TESKID teskId);
HOSTSIM_API void AddCategory(const CategorySpec& category);
// What the host function 0x2214 lists.
HOSTSIM_API void SetDiscoveryUdis(const std::vector<ZUdi>& udis);

// ---- faults -------------------------------------------------------------------------

HOSTSIM_API void AddFaultGroup(ZFaultGroupId groupId);
// Adds the fault, and its group when it is not there yet.
HOSTSIM_API void AddFault(const FaultSpec& fault);
HOSTSIM_API void SetReceivedFaultCount(uint16_t count);
// Scaled-attribute objects handed out and not yet released.
HOSTSIM_API int32_t LiveScaledAttributes();

// ---- user interface, resources, reports ---------------------------------------------

// Answers of Zorv_UIGenericMsg, one per call; without one the answer is left untouched.
HOSTSIM_API void QueueUiAnswer(int32_t answer);
// Reply texts of Zorv_UIMsgDataInput, one per call; without one the reply stays empty.
HOSTSIM_API void QueueUiReply(const std::wstring& reply);
HOSTSIM_API void SetResourceString(const std::wstring& name, const std::wstring& text);
// The text GenerateHealthReport writes (default empty).
HOSTSIM_API void SetHealthReport(const std::wstring& text);

// ---- traces -------------------------------------------------------------------------

HOSTSIM_API std::vector<TraceLine> Traces();
HOSTSIM_API void ClearTraces();
// Trace ids handed out by open trace source and not closed since.
HOSTSIM_API std::vector<ZTraceId> OpenTraceIds();

// Formats as the trace output does (Windows meaning of wide formats: %s wide, %S 8-bit).
HOSTSIM_API std::wstring FormatTraceV(const wchar_t* format, va_list args);
HOSTSIM_API std::string FormatTrace(const wchar_t* format, ...);

// ---- texts --------------------------------------------------------------------------

HOSTSIM_API std::string ToUtf8(const std::wstring& text);
HOSTSIM_API std::wstring FromUtf8(const std::string& text);

}  // namespace hostsim
