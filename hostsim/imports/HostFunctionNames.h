// Names under which the call log and the result overrides know the host functions that
// the plug-in looks up by number (imports go by their exported names).
#pragma once

namespace hostsim::names {

constexpr const char* kGetFunctionAddress = "Zorv_GetFunctionAddress";
constexpr const char* kOpenTraceSource = "OpenTraceSource";
constexpr const char* kCloseTraceSource = "CloseTraceSource";
constexpr const char* kTraceOutput = "TraceOutput";
constexpr const char* kGetDeviceId = "GetDeviceID";
constexpr const char* kOverrideRp1210Impl = "OverrideRp1210Impl";
constexpr const char* kGetDeviceProductId = "GetDeviceProductId";
constexpr const char* kClaimBusAddress = "ClaimBusAddress";
constexpr const char* kUnclaimBusAddress = "UnclaimBusAddress";
constexpr const char* kGetJ1939Name = "GetJ1939NAME";
constexpr const char* kCheckAssignable = "CheckAssignable";
constexpr const char* kSendJ1939Msg = "SendJ1939Msg";
constexpr const char* kParseJ1939Msg = "ParseJ1939Msg";
constexpr const char* kClearFaultList = "ClearFaultList";
constexpr const char* kGenerateHealthReport = "GenerateHealthReport";
constexpr const char* kGetDiscoveryUdis = "GetDiscoveryUdis";
constexpr const char* kGetAttributeBinInfo = "GetAttributeBinInfo";
constexpr const char* kGetFaultRelatedTeskIdCount = "GetFaultRelatedTeskIdCountProc";
constexpr const char* kGetFaultRelatedTeskId = "GetFaultRelatedTeskIdProc";

}  // namespace hostsim::names
