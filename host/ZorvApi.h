// Functions imported from the host library ZORVAPI.
//
// All of them use the host's callee-cleans convention and C linkage. Texts the host shows
// or stores are wide (wchar_t); names of data points, components, categories and keys of
// the parameter database are 8-bit. Out values are pointers of the width the host writes.
// Unless noted, a function returns a ZResult, 0 for success.
#pragma once

#include <cstdint>

#include "host/ZorvCallConv.h"
#include "host/ZorvRecords.h"
#include "host/ZorvTypes.h"

// The host's look-up of further functions by (function number, module id). Module id -1
// names the host itself; any other id names a plug-in, whose entries are numbered by
// their dispatch ids. Answers null when there is no such function.
typedef void* (ZORV_STDCALL* ZorvLookupFn)(int32_t number, int32_t moduleId);

extern "C" {

// Pointer to the host's look-up function (an exported variable, not a function).
ZORVAPI extern ZorvLookupFn Zorv_GetFunctionAddress;

// ---- modules, connection, bus -------------------------------------------------------

// The host's module id of a registered module handle. Returns a plain int, 0 for success.
ZORVAPI int32_t ZORV_STDCALL Zorv_GetModuleIDFromHandle(ZModuleHandle handle, ZModuleId* moduleId);

// Whether the host plays a recording back for a module (non-zero) instead of using the
// bus. Returns a plain int, 0 for success.
ZORVAPI int32_t ZORV_STDCALL Zorv_GetModulePlaybackStatus(ZModuleId moduleId, uint32_t* status);

// Ids of the host's modules; count is the list's capacity in, the number written out. The
// plug-in passes 1 as the last argument. Returns a plain int, 0 for success.
ZORVAPI int32_t ZORV_STDCALL Zorv_GetModuleIDs(ZModuleId* ids, int32_t* count, int32_t selector);

// Handles registered for a module id; count is the capacity in, the number written out.
// Returns a plain int, 0 for success.
ZORVAPI int32_t ZORV_STDCALL Zorv_GetModuleHandles(ZModuleId moduleId, int32_t* count,
                                                  ZModuleHandle* handles);

// Opens the module's bus connection with a connect text such as
// "J1939:Baud=Auto,Channel=1" on a device. The reserved pointer is passed null; the flag
// is non-zero for the first module on its channel, which owns the connection.
ZORVAPI ZResult ZORV_STDCALL Zorv_Connect(ZModuleHandle handle, const wchar_t* connectText,
                                          uint16_t deviceId, void* reserved,
                                          ZBool32 firstOnChannel);

// Tells the host that a module sharing another module's connection lost it.
ZORVAPI ZResult ZORV_STDCALL Zorv_ClientConnectionNotify(ZModuleHandle handle, int32_t state);

// Starts (non-zero) or stops handing received messages of the connection to the plug-in.
ZORVAPI ZResult ZORV_STDCALL Zorv_EnableParsing(ZModuleHandle handle, ZBool32 enable);

// Turns on the host's message hashing (it then spreads messages by the plug-in's hash).
ZORVAPI ZResult ZORV_STDCALL Zorv_EnableHashing(ZModuleHandle handle);

// Subscribes the module to the host's notifications.
ZORVAPI ZResult ZORV_STDCALL Zorv_AddNotifyModule(ZModuleHandle handle);

// Ends the module's subscription to the host's notifications.
ZORVAPI ZResult ZORV_STDCALL Zorv_RemoveNotifyModule(ZModuleHandle handle);

// Allows (non-zero) or blocks the host's own outbound bus traffic for the module.
ZORVAPI ZResult ZORV_STDCALL Zorv_OutboundEnable(ZModuleHandle handle, ZBool32 enable);

// Sends an adapter command (4 = source-address filter) with its bytes. The callback is
// never used by the plug-in and passed null; its form is the host's, hence void*.
ZORVAPI ZResult ZORV_STDCALL Zorv_SendCommand(ZModuleHandle handle, int32_t command,
                                              uint8_t* data, uint16_t length, int32_t option,
                                              int32_t wait, void* callback);

// The host's system time in milliseconds, wrapping at 2^32 (compare by difference).
ZORVAPI uint32_t ZORV_STDCALL Zorv_GetSysTime(void);

// Hands the host the plug-in's per-vehicle value. Pointer-sized so that an object
// address survives 64-bit builds; on the host's own platform it is 32 bits.
ZORVAPI ZResult ZORV_STDCALL Zorv_SetVehicleData(ZModuleHandle handle, uintptr_t vehicleData);

// ---- parameter files, vehicles, components ------------------------------------------

// Loads a parameter file for the module, restricted to the listed components (8-bit
// names such as "SA_00").
ZORVAPI ZResult ZORV_STDCALL Zorv_LoadBinFileWithSpecifiedComponents(
    ZModuleHandle handle, const wchar_t* fileName, const wchar_t* vehicleName,
    const char* const* components, int32_t componentCount);

// Unloads the module's parameter file.
ZORVAPI ZResult ZORV_STDCALL Zorv_UnLoadBinFile(ZModuleHandle handle);

// Number of vehicles in the module's loaded parameter file.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetVehicleCount(ZModuleHandle handle, uint16_t* count);

// Number of components of a vehicle.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetComponentCount(ZModuleHandle handle, uint16_t vehicleIndex,
                                                    uint16_t* count);

// A component's wide display name and 8-bit name; capacities in characters.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetComponent(ZModuleHandle handle, uint16_t vehicleIndex,
                                               uint16_t componentIndex, int32_t stringType,
                                               wchar_t* wideName, uint16_t wideCapacity,
                                               char* name, uint16_t nameCapacity);

// ---- categories ---------------------------------------------------------------------

// Number of categories of a vehicle.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategoryCount(ZModuleHandle handle, uint16_t vehicleIndex,
                                                   uint16_t* count);

// A category's wide display name and 8-bit name; capacities in characters.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategory(ZModuleHandle handle, uint16_t vehicleIndex,
                                              uint16_t categoryIndex, int32_t stringType,
                                              wchar_t* wideName, uint16_t wideCapacity,
                                              char* name, uint16_t nameCapacity);

// The id of the category at an index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategoryID(ZModuleHandle handle, uint16_t vehicleIndex,
                                                uint16_t categoryIndex, ZCategoryId* categoryId);

// A category's type (1: its data points are shown or hidden by recorded support).
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategoryType(ZModuleHandle handle, uint16_t vehicleIndex,
                                                  uint16_t categoryIndex, uint16_t* type);

// Number of data points of the category at an index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategoryDPCount(ZModuleHandle handle, uint16_t vehicleIndex,
                                                     uint16_t categoryIndex, uint16_t* count);

// The data point at an index of the category at an index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategoryDPID(ZModuleHandle handle, uint16_t vehicleIndex,
                                                  uint16_t categoryIndex, uint16_t dpIndex,
                                                  TESKID* teskId);

// The data points of a category given by id: count is the list's capacity in, the number
// written out (never more than the capacity); categoryIndex receives the category's index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetCategoryDPs(ZModuleHandle handle, uint16_t vehicleIndex,
                                                 ZCategoryId categoryId, TESKID* teskIds,
                                                 uint16_t* count, int16_t* categoryIndex);

// ---- data points --------------------------------------------------------------------

// Number of data points of the module.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPCount(ZModuleHandle handle, uint16_t* count);

// The data point at an index of the module.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPID(ZModuleHandle handle, uint16_t index, TESKID* teskId);

// The data point of an 8-bit name such as "SPN_965".
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPIDbyName(ZModuleHandle handle, const char* name,
                                                TESKID* teskId);

// The attribute record of a data point.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPAttributes(ZModuleHandle handle, TESKID teskId,
                                                  sDpAttribute* attribute);

// The PGN (the host calls it PID) that carries a data point.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetPIDForTESKID(ZModuleHandle handle, TESKID teskId, ZPgn* pgn);

// Index of a PGN in the module's message table.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetIndexForPID(ZModuleHandle handle, ZPgn pgn, int16_t* index);

// Number of data points carried by the PGN at a message-table index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetTESKIDCountForPID(ZModuleHandle handle, int16_t index,
                                                       uint16_t* count);

// The data point at a position among those carried by the PGN at a message-table index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetTESKIDFromPID(ZModuleHandle handle, int16_t index,
                                                   uint16_t position, TESKID* teskId);

// Index of the message (query) a data point is read with.
ZORVAPI ZResult ZORV_STDCALL Zorv_FindMsg(ZModuleHandle handle, TESKID teskId, uint16_t* msgIndex);

// The query bytes of a message: at most capacity bytes; length receives the number of
// bytes the query has.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetQueryMsg(ZModuleHandle handle, uint16_t msgIndex,
                                              uint8_t* query, uint16_t capacity, uint16_t* length);

// Data points of universal data identifiers: count is the TESKID list's capacity in, the
// number written out. Result 21: the list is too small and count holds the size needed.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetTeskIdsFromUdiList(ZModuleHandle handle, const ZUdi* udis,
                                                        uint32_t udiCount, TESKID* teskIds,
                                                        uint32_t* count);

// Shows (non-zero) or hides a data point in the host's parameter lists.
ZORVAPI ZResult ZORV_STDCALL Zorv_SetDataPointVisible(ZModuleHandle handle, TESKID teskId,
                                                      ZBool32 visible);

// Whether a data point is shown (writes 1) or hidden (writes 0).
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPVisibility(ZModuleHandle handle, TESKID teskId,
                                                  int32_t* visible);

// Marks a data point's value valid (non-zero) or invalid.
ZORVAPI ZResult ZORV_STDCALL Zorv_SetDataPointValid(ZModuleHandle handle, TESKID teskId,
                                                    ZBool32 valid);

// The raw value bytes of a data point; length is the capacity in, the size out.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPValue(ZModuleHandle handle, TESKID teskId, uint8_t* value,
                                             uint16_t* length);

// Stores raw value bytes for a data point. The plug-in passes 0 as flags.
ZORVAPI ZResult ZORV_STDCALL Zorv_SetDPValue(ZModuleHandle handle, TESKID teskId,
                                             const uint8_t* value, uint16_t length, int32_t flags);

// Sets the text the host shows for a data point instead of its value; length in
// characters (a text may end earlier at its terminator).
ZORVAPI ZResult ZORV_STDCALL Zorv_SetDPDisplayValue(ZModuleHandle handle, TESKID teskId,
                                                    const wchar_t* text, uint16_t length);

// A data point's value as display text. selector is 0 for the current value (the
// plug-in also passes 0x7FFFFFFF); format 2 is the one the plug-in uses. capacity is the
// buffer's size in characters; length receives the text's length.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDataPointValueStr(ZModuleHandle handle, TESKID teskId,
                                                       uint32_t selector, int32_t format,
                                                       wchar_t* text, uint16_t capacity,
                                                       uint32_t* length);

// A data point's wide display name and 8-bit name; capacities in characters.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetDPDescription(ZModuleHandle handle, TESKID teskId,
                                                   int32_t stringType, wchar_t* wideName,
                                                   uint16_t wideCapacity, char* name,
                                                   uint16_t nameCapacity);

// ---- messages and recording ---------------------------------------------------------

// The host's generic parser for a record built by the plug-in (0x10, PGN in three bytes,
// an address byte, data).
ZORVAPI ZResult ZORV_STDCALL Zorv_ParseMsg(ZModuleHandle handle, const uint8_t* record,
                                           uint16_t length, uint32_t timeStamp);

// Writes a received message into the running recording.
ZORVAPI ZResult ZORV_STDCALL Zorv_RecordMessage(uint32_t recording, ZModuleHandle handle,
                                                const uint8_t* message, uint16_t length,
                                                uint32_t timeStamp);

// ---- fault codes --------------------------------------------------------------------

// Number of fault groups. The plug-in passes 0 for vehicle and component.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetGroupCount(ZModuleHandle handle, uint16_t vehicleIndex,
                                                uint16_t componentIndex, uint32_t* count);

// The id of the fault group at an index.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetFaultGroupIDByIndex(ZModuleHandle handle,
                                                         uint16_t vehicleIndex,
                                                         uint16_t componentIndex, uint32_t index,
                                                         ZFaultGroupId* groupId);

// The three database indexes of a fault group, used by the calls below.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetFaultGroupIndexesByID(ZModuleHandle handle,
                                                           ZFaultGroupId groupId,
                                                           uint16_t* first, uint16_t* second,
                                                           uint16_t* third);

// The index of a fault (by bin number) within its group.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetFaultCodeIndexByBinNumber(ZModuleHandle handle,
                                                               uint16_t first, uint16_t second,
                                                               uint16_t third,
                                                               ZBinNumber binNumber,
                                                               uint16_t* faultIndex);

// Number of attributes of a fault (signed: callers treat 0 or less as none).
ZORVAPI ZResult ZORV_STDCALL Zorv_GetFaultCodeAttributeCount(ZModuleHandle handle,
                                                             uint16_t first, uint16_t second,
                                                             uint16_t third, uint16_t faultIndex,
                                                             int16_t* count);

// A fault's wide description and 8-bit text and a 64-bit value. The three trailing
// pointers and the flag are passed null and 0; their forms are the host's, hence void*.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetFaultCodeExtendedInfo(
    ZModuleHandle handle, uint16_t first, uint16_t second, uint16_t third, uint16_t faultIndex,
    int32_t stringType, wchar_t* description, uint16_t descriptionCapacity, char* text,
    uint16_t textCapacity, int64_t* value, void* reserved1, void* reserved2, void* reserved3,
    int32_t reservedFlag);

// A fault attribute's wide display name and 8-bit key (such as "FMI" or "Status").
ZORVAPI ZResult ZORV_STDCALL Zorv_GetFaultCodeAttributeBinInfo(
    ZModuleHandle handle, uint16_t first, uint16_t second, uint16_t third, uint16_t faultIndex,
    uint16_t attributeIndex, int32_t stringType, wchar_t* displayName,
    uint16_t displayNameCapacity, char* key, uint16_t keyCapacity);

// Number of faults received from the module.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetRecvdFaultCodeCount(ZModuleHandle handle, uint16_t* count);

// The raw bytes received for a fault; length is the capacity in, the size out.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetRecvdFaultCodeData(ZModuleHandle handle,
                                                        ZFaultGroupId groupId,
                                                        ZBinNumber binNumber, uint8_t* data,
                                                        uint16_t* length, int32_t fmi);

// Scales a fault attribute from received bytes; the object belongs to the caller until
// its Release.
ZORVAPI ZResult ZORV_STDCALL Zorv_GetScaledAttributeByID(ZModuleHandle handle,
                                                         ZFaultGroupId groupId,
                                                         ZBinNumber binNumber,
                                                         const uint8_t* data, uint16_t length,
                                                         int32_t stringType,
                                                         uint16_t attributeId,
                                                         IScaledAttributes** scaled);

// ---- user interface and resources ---------------------------------------------------

// A message box: buttons and icon use the Windows codes (4 Yes/No, 32 question); answer
// receives the Windows code of the button pressed (6 Yes).
ZORVAPI ZResult ZORV_STDCALL Zorv_UIGenericMsg(ZUiHandle uiHandle, const wchar_t* text,
                                               uint32_t buttons, uint32_t icon, int32_t* answer);

// A guided-test screen: title and a "§"-separated message; the reply text receives the
// user's answer (leading number 204: cancelled). No reply capacity is passed: the reply
// buffer is always kUiReplyCapacity characters. The plug-in passes 0, null, null and 0
// for the options and reserved arguments; mode is 0 or -1.
ZORVAPI ZResult ZORV_STDCALL Zorv_UIMsgDataInput(ZUiHandle uiHandle, ZModuleHandle handle,
                                                 const wchar_t* title, const wchar_t* message,
                                                 int32_t options, void* reserved1,
                                                 void* reserved2, wchar_t* reply,
                                                 int32_t replyOptions, int32_t mode);

// The host's fault-information window with caption, body, whether freeze frames exist,
// and the freeze-frame category (id and 8-bit name).
ZORVAPI ZResult ZORV_STDCALL ZorvLite_FaultInfoMsg(ZModuleHandle handle, const wchar_t* caption,
                                                   const wchar_t* body, ZBool32 freezeFrameFound,
                                                   ZCategoryId category,
                                                   const char* categoryName);

// A localized resource text by name (such as "NotAvailable"); capacity in characters.
// Resource names are given wide, like every text the host localizes. The plug-in passes
// the module handle first.
ZORVAPI ZResult ZORV_STDCALL Zorv_LoadResourceStringByName(ZModuleHandle handle,
                                                           const wchar_t* name,
                                                           int32_t stringType, wchar_t* text,
                                                           uint16_t capacity);

}  // extern "C"

// Size in characters of the reply buffer of Zorv_UIMsgDataInput (terminator included).
constexpr uint16_t kUiReplyCapacity = 256;
// The leading number of a guided-test screen's reply when the user left the screen.
constexpr uint8_t kUiReplyCancelled = 204;
