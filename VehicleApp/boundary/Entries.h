// The numbered entry functions the host reaches through the dispatch table. Each is
// thin: it checks that the application object exists, forwards to it and narrows the
// result to 16 bits. Nothing throws across this boundary.
#pragma once

#include <cstdint>

#include "host/ZorvCallConv.h"

struct ModuleInfo;

namespace marl::entries {

uint16_t ZORV_STDCALL RegisterModule(uint32_t uiHandle, int32_t moduleHandle, const wchar_t* addressText);
uint16_t ZORV_STDCALL UnregisterModule(int32_t moduleHandle);
uint16_t ZORV_STDCALL CheckHandleSign(int32_t value);
uint16_t ZORV_STDCALL NotifyDisconnect(int32_t moduleHandle);
uint16_t ZORV_STDCALL RequestDiagnosticPgnsForHandle(int32_t moduleHandle);
uint16_t ZORV_STDCALL ClearFaultCodes(int32_t moduleHandle);
uint16_t ZORV_STDCALL ParseMessage(int32_t sendHandle, const uint8_t* message, uint16_t length, uint32_t timeStamp);
uint16_t ZORV_STDCALL UnsupportedOut1(uint32_t* out);
uint16_t ZORV_STDCALL UnsupportedOut2(uint32_t* out1, uint32_t* out2);
uint16_t ZORV_STDCALL UnsupportedArgs2Out(uint32_t a, uint32_t b, uint32_t* out);
uint16_t ZORV_STDCALL UnsupportedArg1Out(uint32_t a, uint32_t* out);
uint16_t ZORV_STDCALL SubscribeDatapoint(int32_t moduleHandle, uint32_t teskId);
uint16_t ZORV_STDCALL UnsubscribeDatapoint(int32_t moduleHandle, uint32_t teskId);
uint16_t ZORV_STDCALL SubscribeDatapoints(int32_t moduleHandle, const uint32_t* teskIds, int32_t count);
uint16_t ZORV_STDCALL UnsubscribeDatapoints(int32_t moduleHandle, const uint32_t* teskIds, int32_t count);
uint16_t ZORV_STDCALL VehicleAppCommand(uint32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                        uint8_t* data, int16_t* extra, uint32_t* flag);
uint16_t ZORV_STDCALL HashMessage(uint32_t unused1, const uint8_t* message, int16_t length, uint32_t unused2,
                                  uint32_t unused3, int32_t divisor, uint32_t* out);
uint16_t ZORV_STDCALL AppendDataToRecordingFile(uint32_t unused, uint32_t moduleHandle, const wchar_t* path);
uint16_t ZORV_STDCALL ReadDataFromRecordingFile(uint32_t unused, int32_t moduleHandle, const wchar_t* path);
uint16_t ZORV_STDCALL StartRecording(uint32_t value, uint32_t b, uint32_t c, uint32_t d);
uint16_t ZORV_STDCALL UnsupportedWithApp(uint32_t a, uint32_t* out);
uint16_t ZORV_STDCALL RegisterModuleWithInfo(uint32_t uiHandle, int32_t moduleHandle, const ModuleInfo* info);

}  // namespace marl::entries
