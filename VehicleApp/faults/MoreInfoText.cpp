// The caption and body of the host's fault-information window. Everything comes from
// the host: the fault's description and attributes from its fault-code database, the
// attribute values scaled from the bytes the ECU sent, and the data points related to
// the fault. The texts are built whole and copied into the caller's buffers, cut to
// their capacities; a failure half-way leaves what was built so far.
#include <array>
#include <cstring>
#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/discovery/DataPointText.h"
#include "VehicleApp/faults/Faults.h"
#include "VehicleApp/faults/MoreInfoAttributes.h"
#include "VehicleApp/faults/MoreInfoLimits.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr size_t kRawFaultDataCapacity = 45;
constexpr int32_t kNoReservedFlag = 0;
constexpr int32_t kVisible = 1;

constexpr wchar_t kResourceNoFurtherInfo[] = L"NO_FURTHER_INFO";
constexpr wchar_t kResourceFault[] = L"FAULT";
constexpr wchar_t kResourceMoreInfo[] = L"MORE_INFO";
constexpr wchar_t kResourceAssociatedParameter[] = L"ASSOCIATED_PARAMETER";
constexpr wchar_t kFallbackNoFurtherInfo[] = L"Undefined";
constexpr wchar_t kFallbackFault[] = L"Fault";
constexpr wchar_t kFallbackMoreInfo[] = L"More Info";
constexpr wchar_t kFallbackAssociatedParameter[] = L"Associated Parameter";

template <size_t N>
using WideBuffer = std::array<wchar_t, N>;
template <size_t N>
using NarrowBuffer = std::array<char, N>;

std::wstring ResourceOr(int32_t moduleHandle, const wchar_t* name, const wchar_t* fallback, size_t capacity) {
    std::wstring text;
    if (!LoadDisplayResource(moduleHandle, name, text)) text = fallback;
    return Bounded(text, capacity);
}

// The fault's three group indexes and its index and attribute count in the group. The
// host's results are not looked at: the texts are built from what it left.
struct FaultPosition {
    uint16_t first = 0;
    uint16_t second = 0;
    uint16_t third = 0;
    uint16_t faultIndex = 0;
    int16_t attributeCount = 0;
};

FaultPosition LocateFault(int32_t moduleHandle, uint32_t groupId, int64_t binNumber) {
    FaultPosition at;
    Zorv_GetFaultGroupIndexesByID(moduleHandle, groupId, &at.first, &at.second, &at.third);
    Zorv_GetFaultCodeIndexByBinNumber(moduleHandle, at.first, at.second, at.third, binNumber, &at.faultIndex);
    Zorv_GetFaultCodeAttributeCount(moduleHandle, at.first, at.second, at.third, at.faultIndex, &at.attributeCount);
    return at;
}

std::wstring FaultDescription(int32_t moduleHandle, const FaultPosition& at) {
    WideBuffer<kWorkingTextCapacity> description{};
    NarrowBuffer<kWorkingTextCapacity> unused{};
    int64_t value = 0;
    if (Zorv_GetFaultCodeExtendedInfo(moduleHandle, at.first, at.second, at.third, at.faultIndex,
                                      kZorvStringTypeDisplay, description.data(), kWorkingTextCapacity, unused.data(),
                                      kWorkingTextCapacity, &value, nullptr, nullptr, nullptr,
                                      kNoReservedFlag) != kZorvSuccess) {
        return ResourceOr(moduleHandle, kResourceNoFurtherInfo, kFallbackNoFurtherInfo, kWorkingTextCapacity);
    }
    return text::FromBuffer(description.data(), description.size());
}

// The value text of a scaled attribute, read no further than a working text holds. The
// object goes back to the host in any case.
std::wstring TakeValueText(IScaledAttributes* scaled) {
    if (scaled == nullptr) return {};
    std::wstring value;
    if (const char* text = scaled->GetValueText(kScaledValueFormDefault)) {
        value = text::Widen(std::string(text, strnlen(text, kWorkingTextCapacity - 1)));
    }
    scaled->Release();
    return value;
}

}  // namespace

uint16_t Faults::BuildMoreInfoDataString(int32_t moduleHandle, wchar_t* caption, uint16_t captionCapacity,
                                         wchar_t* body, uint16_t bodyCapacity, uint32_t groupId, int64_t binNumber,
                                         int32_t fmi) {
    auto attributeRecord = LookUpOrTrace<zorv::GetAttributeBinInfoFn>(
        trace_, zorv::kLookupGetAttributeBinInfo, L"%s GetAttributeBinInfo == NULL",
        L"CVehicleApp::BuildMoreInfoDataString (Line 286)");
    if (attributeRecord == nullptr) return results::kMissingFunctionOrRecord;

    std::wstring bodyText;
    auto publishBody = [&] { text::CopyToBuffer(bodyText, body, bodyCapacity); };
    text::CopyToBuffer(L"", caption, captionCapacity);
    publishBody();

    const FaultPosition at = LocateFault(moduleHandle, groupId, binNumber);
    const std::wstring description = FaultDescription(moduleHandle, at);
    bodyText = ResourceOr(moduleHandle, kResourceFault, kFallbackFault, bodyCapacity) + L": " + description;
    publishBody();
    const std::wstring captionText =
        ResourceOr(moduleHandle, kResourceMoreInfo, kFallbackMoreInfo, captionCapacity) + L" - [" + description + L"]";
    text::CopyToBuffer(captionText, caption, captionCapacity);

    MoreInfoAttributes attributes;
    NarrowBuffer<kWorkingTextCapacity> key{};
    for (int16_t index = 0; index < at.attributeCount; ++index) {
        const auto attributeIndex = static_cast<uint16_t>(index);
        WideBuffer<kWorkingTextCapacity> displayName{};
        Zorv_GetFaultCodeAttributeBinInfo(moduleHandle, at.first, at.second, at.third, at.faultIndex, attributeIndex,
                                          kZorvStringTypeDisplay, displayName.data(), kWorkingTextCapacity, key.data(),
                                          kWorkingTextCapacity);
        AttributeBinInfo record{};
        attributeRecord(moduleHandle, groupId, binNumber, attributeIndex, &record);

        std::array<uint8_t, kRawFaultDataCapacity> raw{};
        uint16_t rawLength = kRawFaultDataCapacity;
        uint16_t result = Zorv_GetRecvdFaultCodeData(moduleHandle, groupId, binNumber, raw.data(), &rawLength, fmi);
        if (result != kZorvSuccess) return result;
        // A host that reports more than it was given room for is held to the room.
        if (rawLength > kRawFaultDataCapacity) rawLength = kRawFaultDataCapacity;

        IScaledAttributes* scaled = nullptr;
        result = Zorv_GetScaledAttributeByID(moduleHandle, groupId, binNumber, raw.data(), rawLength,
                                             kZorvStringTypeDisplay, record.attributeId, &scaled);
        if (result != kZorvSuccess) {
            // An object handed out with a failure would otherwise never go back.
            TakeValueText(scaled);
            return result;
        }
        attributes.Add(text::FromBuffer(key.data(), key.size()),
                       text::FromBuffer(displayName.data(), displayName.size()), TakeValueText(scaled));
    }
    bodyText = attributes.AppendTo(bodyText);
    publishBody();

    auto relatedCount = LookUpOrTrace<zorv::GetFaultRelatedTeskIdCountFn>(
        trace_, zorv::kLookupGetFaultRelatedTeskIdCount, L"%s GetFaultRelatedTeskIdCountProc == NULL",
        L"CVehicleApp::BuildMoreInfoDataString (Line 594)");
    if (relatedCount == nullptr) return results::kMissingFunctionOrRecord;
    auto relatedTeskId = LookUpOrTrace<zorv::GetFaultRelatedTeskIdFn>(
        trace_, zorv::kLookupGetFaultRelatedTeskId, L"%s GetFaultRelatedTeskIdProc == NULL",
        L"CVehicleApp::BuildMoreInfoDataString (Line 601)");
    if (relatedTeskId == nullptr) return results::kMissingFunctionOrRecord;

    uint16_t count = 0;
    relatedCount(moduleHandle, binNumber, &count);
    const std::wstring label =
        ResourceOr(moduleHandle, kResourceAssociatedParameter, kFallbackAssociatedParameter, kWorkingTextCapacity);
    for (uint16_t index = 0; index < count; ++index) {
        TESKID teskId = 0;
        relatedTeskId(moduleHandle, binNumber, index, &teskId);
        sDpAttribute attribute{};
        if (Zorv_GetDPAttributes(moduleHandle, teskId, &attribute) != kZorvSuccess) continue;
        int32_t visible = 0;
        Zorv_GetDPVisibility(moduleHandle, teskId, &visible);
        ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
        if (!module) return results::kMissingFunctionOrRecord;
        if (!module->pgnMap.isSupported(attribute.pgn) || visible != kVisible) continue;
        WideBuffer<kWorkingTextCapacity> name{};
        NarrowBuffer<kWorkingTextCapacity> narrowName{};
        Zorv_GetDPDescription(moduleHandle, teskId, kZorvStringTypeDisplay, name.data(), kWorkingTextCapacity,
                              narrowName.data(), kWorkingTextCapacity);
        bodyText += L"\r\n" + label + L": " + text::FromBuffer(name.data(), name.size());
        publishBody();
    }
    return results::kSuccess;
}

}  // namespace marl
