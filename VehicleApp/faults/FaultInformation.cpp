// The host's fault screen: the list of fault groups, and for one fault the information
// window with its freeze frame. The freeze frame is asked of the ECU with a DM4 request;
// the receive thread stores the answer, and this thread reads a copy of it.
#include <array>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/faults/Faults.h"
#include "VehicleApp/faults/FreezeFrameSearch.h"
#include "VehicleApp/faults/MoreInfoLimits.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"
#include "host/ZorvPlugin.h"

namespace marl {
namespace {

constexpr uint16_t kComponentIndex = 0;
constexpr uint16_t kCategoryNameCapacity = 255;
constexpr uint16_t kFreezeFrameCategoryListCapacity = 255;
constexpr uint8_t kFmiMask = 0x1F;
constexpr int64_t kSpnMask = 0xFFFFFF;
constexpr uint8_t kCategoryLowByte = 0xFF;

uint32_t SpnOfBinNumber(int64_t binNumber) { return static_cast<uint32_t>(binNumber & kSpnMask); }

}  // namespace

Faults::Faults(CVehicleApp& app) : app_(app), trace_(app.Trace()) {}

void Faults::ListFaultGroupIds(int32_t moduleHandle, wchar_t* text, int16_t* length) {
    const size_t capacity = text::CapacityOf(length);
    if (text != nullptr) std::fill(text, text + capacity, L'\0');
    uint32_t count = 0;
    if (Zorv_GetGroupCount(moduleHandle, kDatabaseVehicleIndex, kComponentIndex, &count) != kZorvSuccess) return;
    std::wstring list;
    // Once the buffer is full no further ID can be shown, however many the host reports.
    for (uint32_t index = 0; index < count && list.size() + 1 < capacity; ++index) {
        ZFaultGroupId groupId = 0;
        Zorv_GetFaultGroupIDByIndex(moduleHandle, kDatabaseVehicleIndex, kComponentIndex, index, &groupId);
        list += kFieldSeparator;
        list += text::Decimal(groupId);
    }
    const size_t written = text::CopyToBuffer(list, text, capacity);
    if (length != nullptr) *length = static_cast<int16_t>(written);
}

uint16_t Faults::HandleFaultInfoRequest(int32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                        uint8_t* category, int16_t* categoryCount, uint32_t* available) {
    const FaultRequest request = ReadFaultRequest(text, text::CapacityOf(length));
    switch (code) {
        case zorv::kCmdFaultInfo:
            return ShowFaultInformation(moduleHandle, request, text, length);
        case zorv::kCmdFaultInfoExtended:
            return AnswerFreezeFrameQuery(moduleHandle, request, category, categoryCount, available);
        default:
            return results::kSuccess;
    }
}

uint16_t Faults::ShowFaultInformation(int32_t moduleHandle, const FaultRequest& request, wchar_t* text,
                                      int16_t* length) {
    std::array<wchar_t, kMoreInfoBodyCapacity> body{};
    std::array<wchar_t, kMoreInfoCaptionCapacity> caption{};
    inspectedBinNumber_.store(static_cast<uint32_t>(request.binNumber));
    const auto fmi = static_cast<uint8_t>(request.fmi & kFmiMask);
    inspectedFmi_.store(fmi);
    freezeFrameFound_.store(false);

    if (ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle)) {
        // The answer is stored by the receive path, not parsed; the request returns when
        // it came or the attempts are spent.
        app_.Receiver().ExpectDiagnosticAnswersFrom(module->EcuAddress());
        app_.Sender().RequestPgn(module->SendHandle(), j1939::kPgnDm4, module->EcuAddress(), true,
                                 kFreezeFrameTimeoutMs, kFreezeFrameAttempts);
    }

    const uint16_t result =
        BuildMoreInfoDataString(moduleHandle, caption.data(), kMoreInfoCaptionCapacity, body.data(),
                                kMoreInfoBodyCapacity, request.groupId, request.binNumber, request.fmi);
    if (result != results::kSuccess) return result;

    const ZCategoryId categoryId = app_.Receiver().CategoryId(kCategoryFreezeFrame);
    std::array<char, kCategoryNameCapacity> categoryName{};
    GetFreezeFrameCategoryName(moduleHandle, categoryId, categoryName.data(), kCategoryNameCapacity);
    const bool found = ParseFreezeFrameForFault(moduleHandle, SpnOfBinNumber(request.binNumber), fmi);
    freezeFrameFound_.store(found);

    // The body goes back in the host's buffer, cut to it; the size reported is the
    // body's room, but never more than the host's buffer holds.
    const size_t capacity = text::CapacityOf(length);
    text::CopyToBuffer(text::FromBuffer(body.data(), body.size()), text, capacity);
    if (length != nullptr && capacity > 0) {
        *length = static_cast<int16_t>(std::min(capacity, kMoreInfoBodyCapacity));
    }
    ZorvLite_FaultInfoMsg(moduleHandle, caption.data(), body.data(), found ? 1 : 0, categoryId, categoryName.data());
    return results::kSuccess;
}

uint16_t Faults::AnswerFreezeFrameQuery(int32_t moduleHandle, const FaultRequest& request, uint8_t* category,
                                        int16_t* categoryCount, uint32_t* available) {
    const ZCategoryId categoryId = app_.Receiver().CategoryId(kCategoryFreezeFrame);
    std::array<char, kCategoryNameCapacity> categoryName{};
    const uint16_t result =
        GetFreezeFrameCategoryName(moduleHandle, categoryId, categoryName.data(), kCategoryNameCapacity);
    const bool found = ParseFreezeFrameForFault(moduleHandle, SpnOfBinNumber(request.binNumber),
                                                static_cast<uint8_t>(request.fmi & kFmiMask));
    if (available != nullptr) *available = found ? 1 : 0;
    if (category != nullptr && categoryCount != nullptr && *categoryCount >= 1) {
        *category = static_cast<uint8_t>(static_cast<uint16_t>(categoryId) & kCategoryLowByte);
        *categoryCount = 1;
    }
    return result;
}

uint16_t Faults::GetFreezeFrameCategoryName(int32_t moduleHandle, ZCategoryId categoryId, char* name,
                                            uint16_t capacity) {
    if (name != nullptr) std::fill(name, name + capacity, '\0');
    std::vector<TESKID> teskIds(kFreezeFrameCategoryListCapacity);
    uint16_t count = kFreezeFrameCategoryListCapacity;
    int16_t categoryIndex = 0;
    const ZResult found =
        Zorv_GetCategoryDPs(moduleHandle, kDatabaseVehicleIndex, categoryId, teskIds.data(), &count, &categoryIndex);
    if (found != kZorvSuccess) return found;
    std::array<wchar_t, kCategoryNameCapacity> wideName{};
    const ZResult result =
        Zorv_GetCategory(moduleHandle, kDatabaseVehicleIndex, static_cast<uint16_t>(categoryIndex),
                         kZorvStringTypeDisplay, wideName.data(), kCategoryNameCapacity, name, capacity);
    // Whatever the host wrote, the name ends within its buffer.
    if (name != nullptr && capacity > 0) name[capacity - 1] = '\0';
    return result;
}

bool Faults::ParseFreezeFrameForFault(int32_t moduleHandle, uint32_t spn, uint8_t fmi) {
    const FreezeFrameMessage stored = app_.Receiver().LastFreezeFrame();
    const std::optional<FreezeFrameSpan> frame = FindFreezeFrame(stored.bytes, spn, fmi);
    if (!frame) return false;
    const std::vector<uint8_t> record = FreezeFrameRecord(stored.bytes, *frame);
    Zorv_ParseMsg(moduleHandle, record.data(), static_cast<uint16_t>(record.size()), stored.timeStamp);
    return true;
}

}  // namespace marl
