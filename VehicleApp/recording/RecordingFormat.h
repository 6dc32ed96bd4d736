// The plug-in's sections of a recording file. When a recording ends the plug-in appends
// one block to the host's file; on playback it reads the block back through the INI
// access. The block is 8-bit text with CR LF line ends:
//
//   [ConnectionInfo]                 MID = <ECU source address>, Protocol = J1939:Baud=Auto
//   [VIN]                            VIN = <text>, only when a VIN was read
//   [MARL_J1939_PROPRIETARY_DATA]    SETS_OF_TESKIDS = <S>, then SUPPORTED_TESKIDS[k] =
//                                    <count>, <TESKID>, ... for k < S, 100 TESKIDs a line
//   [VehicleInfo]                    SIZE = <n>, then TESKID[i] = ... and VALUE[i] = ...
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"

namespace marl::recording {

constexpr const char* kSectionConnectionInfo = "ConnectionInfo";
constexpr const char* kKeyMid = "MID";
constexpr const char* kKeyProtocol = "Protocol";
constexpr const char* kSectionVin = "VIN";
constexpr const char* kKeyVin = "VIN";
constexpr const char* kSectionProprietary = "MARL_J1939_PROPRIETARY_DATA";
constexpr const char* kKeySetsOfTeskids = "SETS_OF_TESKIDS";
constexpr const char* kKeySupportedTeskids = "SUPPORTED_TESKIDS";
constexpr const char* kSectionVehicleInfo = "VehicleInfo";
constexpr const char* kKeySize = "SIZE";
constexpr const char* kKeyTeskid = "TESKID";
constexpr const char* kKeyValue = "VALUE";

constexpr size_t kTeskidsPerSet = 100;
// The largest count a SUPPORTED_TESKIDS line can announce: it is read as 8 bits.
constexpr uint32_t kLargestAnnouncedCount = 0xFF;

struct VehicleInfoValue {
    TESKID teskId = 0;
    std::string value;  // 8-bit display text
};

// What one appended block holds.
struct RecordingBlock {
    uint8_t sourceAddress = 0;
    std::string protocol;
    std::string vin;                // empty: the [VIN] section has no entry
    std::vector<TESKID> supported;  // in the order of the recordable-parameters category
    std::vector<VehicleInfoValue> vehicleInfo;
};

// Sets needed for `supported` TESKIDs: every started hundred is one.
size_t SetCount(size_t supported);
// The block exactly as it is appended. It begins with two line ends, so that it starts
// on a line of its own whatever the file ended with.
std::string FormatRecordingBlock(const RecordingBlock& block);
// "NAME[index]", the key of one item of a list.
std::string IndexedKey(const char* name, size_t index);

// The number a recorded text begins with, blanks before it skipped; 0 when it begins
// with no digit, and 2^32 - 1 when it is larger.
uint32_t ReadNumber(const std::wstring& text);
// The TESKIDs of a SUPPORTED_TESKIDS line: its first item announces how many follow, and
// no more than the items present are read (a line may have been cut or edited).
std::vector<TESKID> ReadTeskidSet(const std::wstring& line);

}  // namespace marl::recording
