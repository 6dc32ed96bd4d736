// Imports that take messages from the plug-in: the host's generic parser for records
// the plug-in builds, and the recorder of received messages.
#include "host/ZorvApi.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"

using namespace hostsim;

ZResult ZORV_STDCALL Zorv_ParseMsg(ZModuleHandle handle, const uint8_t* record, uint16_t length,
                                   uint32_t timeStamp) {
    return static_cast<ZResult>(Enter("Zorv_ParseMsg", {arg::Num(handle), arg::Bytes(record, length),
                                                        arg::Num(length), arg::Num(timeStamp)}));
}

ZResult ZORV_STDCALL Zorv_RecordMessage(uint32_t recording, ZModuleHandle handle, const uint8_t* message,
                                        uint16_t length, uint32_t timeStamp) {
    return static_cast<ZResult>(Enter("Zorv_RecordMessage", {arg::Num(recording), arg::Num(handle),
                                                             arg::Bytes(message, length), arg::Num(length),
                                                             arg::Num(timeStamp)}));
}
