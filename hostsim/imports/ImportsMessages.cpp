// Imports that take messages from the plug-in: the host's generic parser for records
// the plug-in builds, and the recorder of received messages.
#include <utility>

#include "host/ZorvApi.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/database/FreezeFrames.h"
#include "hostsim/imports/ArgText.h"
#include "j1939/Protocol.h"

using namespace hostsim;

namespace {

// A record for the generic parser: its kind, the PGN (least significant byte first), an
// address byte, then the message data.
constexpr uint8_t kRecordKindJ1939 = 0x10;
constexpr size_t kRecordKind = 0;
constexpr size_t kRecordPgn = 1;
constexpr size_t kRecordData = kRecordPgn + j1939::kPgnBytes + 1;

// A DM4 record keeps the module's freeze frame, never the live values of its data
// points; a frame too short for what it announces is ignored.
void ParseRecord(ZModuleHandle handle, const uint8_t* record, uint16_t length) {
    if (record == nullptr || length <= kRecordData || record[kRecordKind] != kRecordKindJ1939) return;
    if (j1939::ReadPgn(record + kRecordPgn) != j1939::kPgnDm4) return;
    Host& host = TheHost();
    auto frame = DecodeFreezeFrame(record + kRecordData, length - kRecordData, *host.DatabaseFor(handle));
    if (frame) host.freezeFrames.Set(handle, std::move(*frame));
}

}  // namespace

ZResult ZORV_STDCALL Zorv_ParseMsg(ZModuleHandle handle, const uint8_t* record, uint16_t length,
                                   uint32_t timeStamp) {
    int32_t forced =
        Enter("Zorv_ParseMsg", {arg::Num(handle), arg::Bytes(record, length), arg::Num(length), arg::Num(timeStamp)});
    if (forced != 0) return static_cast<ZResult>(forced);
    ParseRecord(handle, record, length);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_RecordMessage(uint32_t recording, ZModuleHandle handle, const uint8_t* message,
                                        uint16_t length, uint32_t timeStamp) {
    int32_t forced = Enter("Zorv_RecordMessage", {arg::Num(recording), arg::Num(handle),
                                                  arg::Bytes(message, length), arg::Num(length), arg::Num(timeStamp)});
    if (forced != 0) return static_cast<ZResult>(forced);
    return TheHost().recorder.Add(recording, handle, message, length, timeStamp) ? kZorvSuccess : kResultNotFound;
}
