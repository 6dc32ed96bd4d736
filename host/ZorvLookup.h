// Functions reached through the host's look-up (Zorv_GetFunctionAddress) rather than
// imported: every number with the typed function it yields, the module ids the look-up
// takes, and the entry ids of plug-ins that other modules reach.
//
// Fixed-argument functions use the host's callee-cleans convention; the trace output
// takes a variable argument list and is therefore caller-cleans. Trace formats are wide
// with the Windows meaning: %s is a wide text, %S an 8-bit text.
#pragma once

#include <cstdint>

#include "host/ZorvCallConv.h"
#include "host/ZorvPlugin.h"
#include "host/ZorvRecords.h"
#include "host/ZorvTypes.h"

namespace zorv {

// ---- module ids ---------------------------------------------------------------------

constexpr int32_t kModuleIdHost = -1;         // the host's own functions
constexpr int32_t kModuleIdMarlJ1939 = 1002;  // this plug-in
constexpr int32_t kModuleIdJ1708App = 1001;   // the host's J1708 vehicle application
constexpr int32_t kModuleIdFive = 5;          // a vehicle application whose presence makes
                                              // the host handle faults of addresses 0 and 1

// ---- trace source (module -1) -------------------------------------------------------

// Opens a trace source: (trace class 0x10001A, module id, ECU address, 0, out trace id).
constexpr int32_t kLookupOpenTraceSource = 0x21FF;
typedef ZResult (ZORV_STDCALL* OpenTraceSourceFn)(uint32_t traceClass, int32_t moduleId,
                                                  uint32_t ecuAddress, uint32_t reserved,
                                                  ZTraceId* traceId);
constexpr uint32_t kTraceClassVehicleApp = 0x10001A;

// Closes a trace source.
constexpr int32_t kLookupCloseTraceSource = 0x2201;
typedef ZResult (ZORV_STDCALL* CloseTraceSourceFn)(ZTraceId traceId);

// Writes one trace line: (trace id, level, code, wide format, arguments...).
constexpr int32_t kLookupTraceOutput = 0x2202;
typedef ZResult (ZORV_CDECL* TraceOutputFn)(ZTraceId traceId, int32_t level, ZResult code,
                                            const wchar_t* format, ...);
constexpr int32_t kTraceLevelFailure = 2;
constexpr int32_t kTraceLevelProgress = 7;

// A fourth trace function that the plug-in looks up and keeps but never calls; its
// argument list is the host's, so only its address is typed.
constexpr int32_t kLookupTraceReserved = 0x2203;
typedef void* TraceReservedFn;

// ---- bus (module -1) ----------------------------------------------------------------

// The bus device for a protocol text such as "J1939".
constexpr int32_t kLookupGetDeviceId = 0x2010;
typedef ZResult (ZORV_STDCALL* GetDeviceIdFn)(const wchar_t* protocol, uint16_t* deviceId);

// Makes the host use its own RP1210 implementation for the module's connection.
constexpr int32_t kLookupOverrideRp1210Impl = 0x21FB;
typedef ZResult (ZORV_STDCALL* OverrideRp1210ImplFn)(ZModuleHandle handle);

// The bus adapter's product id (signed 16-bit).
constexpr int32_t kLookupGetDeviceProductId = 0x2028;
typedef ZResult (ZORV_STDCALL* GetDeviceProductIdFn)(int16_t* productId);

// Claims a J1939 source address for the tool on the module's connection.
constexpr int32_t kLookupClaimBusAddress = 0x201B;
typedef ZResult (ZORV_STDCALL* ClaimBusAddressFn)(ZModuleHandle handle, uint8_t address);

// Releases the tool's claimed address on the module's connection.
constexpr int32_t kLookupUnclaimBusAddress = 0x201C;
typedef ZResult (ZORV_STDCALL* UnclaimBusAddressFn)(ZModuleHandle handle);

// The decoded J1939 NAME the host has seen claimed for an address.
constexpr int32_t kLookupGetJ1939Name = 0x202A;
typedef ZResult (ZORV_STDCALL* GetJ1939NameFn)(uint8_t address, J1939DecodedName* name);

// Whether an address (or a NAME given by its first and last words) is arbitrary-address
// capable. Answers a truth value, not a result: non-zero means true.
constexpr int32_t kLookupCheckAssignable = 0x202C;
typedef ZBool32 (ZORV_STDCALL* CheckAssignableFn)(uint32_t first, uint32_t second);

// Puts a J1939 message (PGN in three bytes, priority, source, destination, data) on the
// module's connection. The plug-in passes 1, 1, 0 for the three options.
constexpr int32_t kLookupSendJ1939Msg = 0x21FC;
typedef ZResult (ZORV_STDCALL* SendJ1939MsgFn)(ZModuleHandle handle, const uint8_t* message,
                                               uint16_t length, int32_t option1, int32_t option2,
                                               int32_t option3);

// The host's J1939 parser: turns a received message into data-point values.
constexpr int32_t kLookupParseJ1939Msg = 0x2013;
typedef ZResult (ZORV_STDCALL* ParseJ1939MsgFn)(ZModuleHandle handle, const uint8_t* message,
                                                uint16_t length, uint32_t timeStamp);

// ---- faults, reports, identifiers (module -1) ---------------------------------------

// Empties the host's list of faults received for the module.
constexpr int32_t kLookupClearFaultList = 0x2018;
typedef ZResult (ZORV_STDCALL* ClearFaultListFn)(ZModuleHandle handle);

// Generates the vehicle health report of the module at an address into text; length is
// the capacity in characters in and the report's length out.
constexpr int32_t kLookupGenerateHealthReport = 0x2208;
typedef ZResult (ZORV_STDCALL* GenerateHealthReportFn)(ZModuleHandle handle, uint32_t address,
                                                       wchar_t* text, int16_t* length);

// Universal data identifiers of the data points wanted for discovery: count is the
// capacity in, the number written out. Result 42: too small, count holds the size needed.
constexpr int32_t kLookupGetDiscoveryUdis = 0x2214;
typedef ZResult (ZORV_STDCALL* GetDiscoveryUdisFn)(ZUdi* udis, uint32_t* count);
constexpr ZResult kResultListTooSmall = 42;

// The database record of a fault attribute at an index.
constexpr int32_t kLookupGetAttributeBinInfo = 0x103D9;
typedef ZResult (ZORV_STDCALL* GetAttributeBinInfoFn)(ZModuleHandle handle, ZFaultGroupId groupId,
                                                      ZBinNumber binNumber,
                                                      uint16_t attributeIndex,
                                                      AttributeBinInfo* record);

// Number of data points related to a fault.
constexpr int32_t kLookupGetFaultRelatedTeskIdCount = 0x10401;
typedef ZResult (ZORV_STDCALL* GetFaultRelatedTeskIdCountFn)(ZModuleHandle handle,
                                                             ZBinNumber binNumber,
                                                             uint16_t* count);

// The data point related to a fault at an index.
constexpr int32_t kLookupGetFaultRelatedTeskId = 0x10402;
typedef ZResult (ZORV_STDCALL* GetFaultRelatedTeskIdFn)(ZModuleHandle handle, ZBinNumber binNumber,
                                                        uint16_t index, TESKID* teskId);

// ---- entries of plug-ins (module id of the plug-in; entry ids in ZorvPlugin.h) ------

// Command entry of a vehicle application: (module handle, command code, wide text, in/out
// text length, byte data, in/out data count, out flag). This plug-in's own entry has the
// same form; the J1708 application takes command 2001 to clear its faults.
constexpr int32_t kLookupVehicleAppCommand = 0x10404;
typedef ZResult (ZORV_STDCALL* VehicleAppCommandFn)(uint32_t handle, int16_t code, wchar_t* text,
                                                    int16_t* length, uint8_t* data,
                                                    int16_t* extra, uint32_t* flag);
constexpr int16_t kJ1708CommandClearFaults = 2001;

// The unregister entry of a plug-in; asked of module 5 only to learn whether it is there.
typedef ZResult (ZORV_STDCALL* UnregisterModuleFn)(ZModuleHandle handle);

}  // namespace zorv
