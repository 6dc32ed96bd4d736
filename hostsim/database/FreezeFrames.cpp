#include "hostsim/database/FreezeFrames.h"

#include <utility>

#include "hostsim/TextConvert.h"
#include "hostsim/database/FaultBytes.h"
#include "hostsim/database/SpnDecoder.h"

namespace hostsim {
namespace {

constexpr size_t kLengthByte = 0;
constexpr size_t kFrameStart = 1;
// Where each standard parameter starts within the frame (after its length byte),
// counted from 1 as the parameter layouts count.
struct SnapshotParameter {
    uint32_t spn;
    uint16_t startByte;
};
constexpr SnapshotParameter kSnapshot[] = {
    {899, 5},   // engine torque mode
    {102, 6},   // boost pressure, 2 kPa/bit
    {190, 7},   // engine speed, 0.125 rpm/bit, two bytes
    {92, 9},    // engine percent load, 1 %/bit
    {110, 10},  // engine coolant temperature, 1 °C/bit, -40
    {84, 11},   // wheel-based vehicle speed, 1/256 km/h/bit, two bytes
};

std::optional<uint16_t> SnapshotStart(uint32_t spn) {
    for (const SnapshotParameter& parameter : kSnapshot) {
        if (parameter.spn == spn) return parameter.startByte;
    }
    return std::nullopt;
}

std::vector<TESKID> FreezeFrameTeskIds(ParameterDatabase& module) {
    for (size_t i = 0, count = module.CategoryCount(); i < count; ++i) {
        auto category = module.CategoryAt(i);
        if (category && category->name == kFreezeFrameCategory) return category->teskIds;
    }
    return {};
}

}  // namespace

std::optional<FreezeFrameRecord> DecodeFreezeFrame(const uint8_t* data, size_t size, ParameterDatabase& module) {
    if (data == nullptr || size <= kLengthByte) return std::nullopt;
    size_t length = data[kLengthByte];
    if (size < kFrameStart + length) return std::nullopt;
    const uint8_t* frame = data + kFrameStart;
    std::optional<Dtc> dtc = DecodeDtcBytes(frame, length);
    if (!dtc) return std::nullopt;
    FreezeFrameRecord record;
    record.found = true;
    record.dtc = *dtc;
    for (TESKID teskId : FreezeFrameTeskIds(module)) {
        auto dataPoint = module.Find(teskId);
        auto start = dataPoint ? SnapshotStart(dataPoint->layout.spn) : std::nullopt;
        if (!start) continue;
        SpnLayout layout = dataPoint->layout;
        layout.startByte = *start;
        layout.startBit = 1;
        // A parameter the frame is too short for reads as not available.
        DecodedSpn decoded = DecodeSpn(layout, frame, length);
        record.values.push_back({teskId, dataPoint->name, WideToUtf8(decoded.text)});
    }
    return record;
}

void FreezeFrameTable::Set(ZModuleHandle handle, FreezeFrameRecord record) {
    std::lock_guard<std::mutex> lock(mutex_);
    modules_[handle] = std::move(record);
}

FreezeFrameRecord FreezeFrameTable::Of(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = modules_.find(handle);
    return found == modules_.end() ? FreezeFrameRecord{} : found->second;
}

void FreezeFrameTable::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    modules_.clear();
}

}  // namespace hostsim
