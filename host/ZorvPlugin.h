// The binary interface between the host and a vehicle-application plug-in: the
// descriptor that GetDllInfo returns, its dispatch table, the entry ids and the
// signatures of the entries. The host, the command-line host and the tests see the
// plug-in only through this.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/ZorvCallConv.h"

struct ModuleInfo;

namespace zorv {

// Entry ids are host-wide numbers: other modules reach the same entries through the
// host's look-up with this plug-in's module id.
enum EntryId : uint32_t {
    kEntryRegisterModule = 0x10279,
    kEntryUnregisterModule = 0x10258,
    kEntryCheckHandleSign = 0x10259,
    kEntryNotifyDisconnect = 0x10283,
    kEntryRequestDiagnosticPgns = 0x1025d,
    kEntryClearFaultCodes = 0x1025f,
    kEntryParseMessage = 0x1025a,
    kEntryUnsupported1 = 0x10260,
    kEntryUnsupported2 = 0x10261,
    kEntryUnsupported3 = 0x10262,
    kEntryUnsupported4 = 0x10263,
    kEntryUnsupported5 = 0x10264,
    kEntrySubscribeDatapoint = 0x10277,
    kEntryUnsubscribeDatapoint = 0x10278,
    kEntrySubscribeDatapoints = 0x10286,
    kEntryUnsubscribeDatapoints = 0x10287,
    kEntryVehicleAppCommand = 0x10404,
    kEntryHashMessage = 0x10289,
    kEntryAppendDataToRecordingFile = 0x1027c,
    kEntryReadDataFromRecordingFile = 0x1027d,
    kEntryStartRecording = 0x1027b,
    kEntryUnsupported6 = 0x1028b,
    kEntryRegisterModuleWithInfo = 0x1028c,
};

constexpr int kEntryCount = 23;

// Entry signatures. Every entry uses the callee-cleans convention and returns a 16-bit
// result, 0 for success.
using FnRegisterModule = uint16_t(ZORV_STDCALL*)(uint32_t uiHandle, int32_t moduleHandle,
                                                 const wchar_t* addressText);
using FnModuleHandleOnly = uint16_t(ZORV_STDCALL*)(int32_t moduleHandle);  // 2, 4, 5, 6
using FnCheckHandleSign = uint16_t(ZORV_STDCALL*)(int32_t value);
using FnParseMessage = uint16_t(ZORV_STDCALL*)(int32_t sendHandle, const uint8_t* message,
                                               uint16_t length, uint32_t timeStamp);
using FnUnsupportedOut1 = uint16_t(ZORV_STDCALL*)(uint32_t* out);
using FnUnsupportedOut2 = uint16_t(ZORV_STDCALL*)(uint32_t* out1, uint32_t* out2);
using FnUnsupportedArgs2Out = uint16_t(ZORV_STDCALL*)(uint32_t a, uint32_t b, uint32_t* out);
using FnUnsupportedArg1Out = uint16_t(ZORV_STDCALL*)(uint32_t a, uint32_t* out);  // 11, 22
using FnSubscribeDatapoint = uint16_t(ZORV_STDCALL*)(int32_t moduleHandle, uint32_t teskId);
using FnSubscribeDatapoints = uint16_t(ZORV_STDCALL*)(int32_t moduleHandle, const uint32_t* teskIds,
                                                      int32_t count);
using FnVehicleAppCommand = uint16_t(ZORV_STDCALL*)(uint32_t moduleHandle, int16_t code, wchar_t* text,
                                                    int16_t* length, uint8_t* data, int16_t* extra,
                                                    uint32_t* flag);
using FnHashMessage = uint16_t(ZORV_STDCALL*)(uint32_t unused1, const uint8_t* message, int16_t length,
                                              uint32_t unused2, uint32_t unused3, int32_t divisor,
                                              uint32_t* out);
// The recording entries take the file's full path as a wide text: a pointer, which on
// the host's 32-bit process is the 32-bit argument the host passes.
using FnAppendDataToRecordingFile = uint16_t(ZORV_STDCALL*)(uint32_t unused, uint32_t moduleHandle,
                                                            const wchar_t* path);
using FnReadDataFromRecordingFile = uint16_t(ZORV_STDCALL*)(uint32_t unused, int32_t moduleHandle,
                                                            const wchar_t* path);
using FnStartRecording = uint16_t(ZORV_STDCALL*)(uint32_t value, uint32_t b, uint32_t c, uint32_t d);
using FnRegisterModuleWithInfo = uint16_t(ZORV_STDCALL*)(uint32_t uiHandle, int32_t moduleHandle,
                                                         const ModuleInfo* info);

// One row of the dispatch table; the table ends with a (0, 0) row. The address is
// 32-bit in the host's 32-bit process; a pointer-sized field keeps the same table
// usable in a 64-bit build on Linux.
struct DispatchEntry {
    uint32_t id;
    void* function;
};

// The descriptor GetDllInfo returns. Its layout is fixed by the host for a 32-bit process,
// where natural alignment gives exactly the host's offsets; a 64-bit build keeps natural
// alignment too, so that the table pointer is never misaligned.
struct PluginDescriptor {
    uint32_t interfaceVersion;     // 0x00180001
    const DispatchEntry* table;
    uint32_t secondInterfaceVersion;  // 0x00030019
    uint32_t reserved12;           // written as 0 on every call
    uint32_t reserved16;           // never written
    uint16_t field20;              // written as 2 on every call
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(PluginDescriptor, table) == 4, "descriptor layout is fixed by the host");
static_assert(offsetof(PluginDescriptor, secondInterfaceVersion) == 8, "descriptor layout");
static_assert(offsetof(PluginDescriptor, reserved12) == 12, "descriptor layout");
static_assert(offsetof(PluginDescriptor, reserved16) == 16, "descriptor layout");
static_assert(offsetof(PluginDescriptor, field20) == 20, "descriptor layout");
static_assert(sizeof(DispatchEntry) == 8, "dispatch rows are two 32-bit words");
#endif

constexpr uint32_t kDescriptorInterfaceVersion = 0x00180001u;
constexpr uint32_t kDescriptorSecondInterfaceVersion = 0x00030019u;
constexpr uint16_t kDescriptorField20 = 2;

using FnGetDllInfo = PluginDescriptor* (*)();

// The dispatch table ends at the row with id 0; no table has more rows than this.
constexpr size_t kMaxDispatchRows = 256;

// The function of entry `id` in the descriptor's dispatch table; null when it has none.
inline void* FindEntry(const PluginDescriptor* descriptor, uint32_t id) {
    if (descriptor == nullptr || descriptor->table == nullptr) return nullptr;
    for (size_t i = 0; i < kMaxDispatchRows && descriptor->table[i].id != 0; ++i) {
        if (descriptor->table[i].id == id) return descriptor->table[i].function;
    }
    return nullptr;
}
// The host's numbered commands, handed to the plug-in through entry 0x10404.
enum CommandCode : int16_t {
    kCmdCapability1001 = 1001,
    kCmdCapability1002 = 1002,
    kCmdCapability1003 = 1003,
    kCmdCapability1004 = 1004,
    kCmdCapability1005 = 1005,
    kCmdProtocolId = 1006,
    kCmdListFaultGroups = 1007,
    kCmdRegistrationComplete = 1008,
    kCmdFaultInfo = 1009,
    kCmdConnectionText = 1012,
    kCmdCapability1014 = 1014,
    kCmdCapability1015 = 1015,
    kCmdTripData = 1016,
    kCmdCapability1021 = 1021,
    kCmdFaultInfoExtended = 1036,
    kCmdHealthReport = 1038,
    kCmdGetVin = 3000,
    kCmdUnsupported3003 = 3003,
    kCmdCapability3004 = 3004,
};

constexpr const char* kGetDllInfoName = "GetDllInfo";

}  // namespace zorv
