// Basic types of the host platform interface.
//
// Every host function and every plug-in entry answers with a 16-bit result, 0 for
// success. Handles, identifiers and counts keep the widths the host gives them, so that
// records and argument lists match the 32-bit host exactly.
#pragma once

#include <cstdint>

// 16-bit result of a host function or a plug-in entry; 0 is success.
typedef uint16_t ZResult;

// The host's handle of a registered module (one ECU on one channel), valid from 1 to 255.
typedef int32_t ZModuleHandle;

// The host's id of a module (plug-in): this plug-in is 1002.
typedef int32_t ZModuleId;

// The host's user-interface handle, handed to the plug-in at registration.
typedef uint32_t ZUiHandle;

// The host's 32-bit identifier of a data point.
typedef uint32_t TESKID;

// A J1939 parameter group number (18 bits used, carried in 32).
typedef uint32_t ZPgn;

// Universal data identifier: a host-wide name of a kind of data point (7 = VIN).
typedef uint32_t ZUdi;
// Universal data identifiers of the host's parameter databases.
namespace zorv {
constexpr ZUdi kUdiVin = 7;
constexpr ZUdi kUdiEngineIdentification = 10;
constexpr ZUdi kUdiMake = 17;
}  // namespace zorv

// Category id of the parameter database; -1 means "none found".
typedef int16_t ZCategoryId;

// Id of a fault group of the fault-code database.
typedef uint32_t ZFaultGroupId;

// Number of a fault within its group; for J1939 faults the low 24 bits carry the SPN.
typedef int64_t ZBinNumber;

// Id of the host's trace source, handed out by the open-trace-source function.
typedef uint16_t ZTraceId;

// A 32-bit truth value (0 false, anything else true), as the host's C interface uses.
typedef int32_t ZBool32;

// Success result shared by every host function and entry.
constexpr ZResult kZorvSuccess = 0;

// Text kind asked of the host's database: 1 selects the display (user) language.
constexpr int32_t kZorvStringTypeDisplay = 1;
