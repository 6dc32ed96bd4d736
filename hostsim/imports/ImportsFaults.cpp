// Imports about the fault-code database and the faults received from ECUs. The group's
// three database indexes are (group position, 0, 0); only the first is used to find it.
// Received faults are the codes of the module's last DM1 and DM2; the group says which.
#include <algorithm>
#include <optional>

#include "host/ZorvApi.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/TextConvert.h"
#include "hostsim/database/FaultBytes.h"
#include "hostsim/database/FaultTexts.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/imports/ScaledAttributes.h"

using namespace hostsim;

namespace {

constexpr uint16_t kUnusedGroupIndex = 0;

std::optional<FaultAttributeDefinition> AttributeOf(const FaultDefinition& fault, size_t index) {
    if (index >= fault.attributes.size()) return std::nullopt;
    return fault.attributes[index];
}

bool ModuleReceived(ZModuleHandle handle, ZBinNumber binNumber) {
    return ReceivedSpn(TheHost().receivedFaults.Of(handle), SpnOfBinNumber(binNumber));
}

// The bytes the module received for a fault of a group: a described fault's own bytes,
// else the lamps and the code of the group's message.
std::optional<std::vector<uint8_t>> ReceivedBytes(ZModuleHandle handle, ZFaultGroupId groupId, ZBinNumber binNumber,
                                                  int32_t fmi) {
    Host& host = TheHost();
    FaultDatabase& faults = host.FaultCodes();
    if (faults.Described()) {
        auto fault = faults.Find(groupId, binNumber, false);
        if (fault && !fault->definition.receivedData.empty()) return fault->definition.receivedData;
    }
    auto group = faults.Group(groupId);
    if (!group || binNumber != (binNumber & kBinNumberSpnMask)) return std::nullopt;
    ReceivedFaultCodes received = host.receivedFaults.Of(handle);
    const DtcReport* report = ReportOfGroup(received, *group);
    auto dtc = report ? FindDtc(*report, SpnOfBinNumber(binNumber), fmi) : std::nullopt;
    if (!dtc) return std::nullopt;
    FaultBytes bytes = EncodeFaultBytes(report->lamps, *dtc);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

// A described fault's attribute answers with the text the test gave it.
ZResult DescribedAttribute(ZFaultGroupId groupId, ZBinNumber binNumber, uint16_t attributeId,
                           IScaledAttributes** scaled) {
    auto fault = TheHost().faults.Find(groupId, binNumber, false);
    if (!fault) return kResultNotFound;
    for (const FaultAttributeDefinition& attribute : fault->definition.attributes) {
        if (attribute.attributeId == attributeId) {
            *scaled = TheHost().hostile.Has(kHostileNullOutputs)
                          ? nullptr
                          : new ScaledAttributes(attributeId, attribute.hasValue, attribute.valueText);
            return kZorvSuccess;
        }
    }
    return kResultNotFound;
}

// Any other is scaled from the bytes given: the lamp bytes and the code's four bytes.
ZResult ScaledFromBytes(ZFaultGroupId groupId, const uint8_t* data, uint16_t length, uint16_t attributeId,
                        IScaledAttributes** scaled) {
    FaultDatabase& faults = TheHost().FaultCodes();
    auto group = faults.Group(groupId);
    if (!group) return kResultNotFound;
    auto fault = DecodeFaultBytes(data, length);
    if (!fault) return kResultBadArgument;
    for (const FaultAttributeDefinition& attribute : faults.FileAttributes()) {
        if (attribute.attributeId != attributeId) continue;
        auto text = ScaleFaultAttribute(attribute.key, fault->dtc, *group, faults);
        if (!text) return kResultNotFound;
        *scaled = TheHost().hostile.Has(kHostileNullOutputs)
                      ? nullptr
                      : new ScaledAttributes(attributeId, text->hasValue, text->text);
        return kZorvSuccess;
    }
    return kResultNotFound;
}

}  // namespace

ZResult ZORV_STDCALL Zorv_GetGroupCount(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t componentIndex,
                                        uint32_t* count) {
    int32_t forced = Enter("Zorv_GetGroupCount", {arg::Num(handle), arg::Num(vehicleIndex),
                                                  arg::Num(componentIndex), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count != nullptr) *count = static_cast<uint32_t>(TheHost().FaultCodes().GroupCount());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultGroupIDByIndex(ZModuleHandle handle, uint16_t vehicleIndex,
                                                 uint16_t componentIndex, uint32_t index, ZFaultGroupId* groupId) {
    int32_t forced = Enter("Zorv_GetFaultGroupIDByIndex", {arg::Num(handle), arg::Num(vehicleIndex),
                                                           arg::Num(componentIndex), arg::Num(index),
                                                           arg::Out(groupId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto group = TheHost().FaultCodes().GroupAt(index);
    if (!group) return kResultNotFound;
    if (groupId != nullptr) *groupId = group->id;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultGroupIndexesByID(ZModuleHandle handle, ZFaultGroupId groupId, uint16_t* first,
                                                   uint16_t* second, uint16_t* third) {
    int32_t forced = Enter("Zorv_GetFaultGroupIndexesByID", {arg::Num(handle), arg::Num(groupId),
                                                             arg::Out(first), arg::Out(second), arg::Out(third)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto index = TheHost().FaultCodes().GroupIndexOf(groupId);
    if (!index) return kResultNotFound;
    if (first != nullptr) *first = static_cast<uint16_t>(*index);
    if (second != nullptr) *second = kUnusedGroupIndex;
    if (third != nullptr) *third = kUnusedGroupIndex;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultCodeIndexByBinNumber(ZModuleHandle handle, uint16_t first, uint16_t second,
                                                       uint16_t third, ZBinNumber binNumber, uint16_t* faultIndex) {
    int32_t forced = Enter("Zorv_GetFaultCodeIndexByBinNumber", {arg::Num(handle), arg::Num(first),
                                                                 arg::Num(second), arg::Num(third),
                                                                 arg::Num(binNumber), arg::Out(faultIndex)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto index = TheHost().FaultCodes().FaultIndexOf(first, binNumber, ModuleReceived(handle, binNumber));
    if (!index) return kResultNotFound;
    if (faultIndex != nullptr) *faultIndex = static_cast<uint16_t>(*index);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultCodeAttributeCount(ZModuleHandle handle, uint16_t first, uint16_t second,
                                                     uint16_t third, uint16_t faultIndex, int16_t* count) {
    int32_t forced = Enter("Zorv_GetFaultCodeAttributeCount", {arg::Num(handle), arg::Num(first),
                                                               arg::Num(second), arg::Num(third),
                                                               arg::Num(faultIndex), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto fault = TheHost().FaultCodes().FaultAt(first, faultIndex);
    if (!fault) return kResultNotFound;
    if (count != nullptr) *count = static_cast<int16_t>(fault->definition.attributes.size());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultCodeExtendedInfo(ZModuleHandle handle, uint16_t first, uint16_t second,
                                                   uint16_t third, uint16_t faultIndex, int32_t stringType,
                                                   wchar_t* description, uint16_t descriptionCapacity, char* text,
                                                   uint16_t textCapacity, int64_t* value, void* reserved1,
                                                   void* reserved2, void* reserved3, int32_t reservedFlag) {
    int32_t forced = Enter("Zorv_GetFaultCodeExtendedInfo",
                           {arg::Num(handle), arg::Num(first), arg::Num(second), arg::Num(third),
                            arg::Num(faultIndex), arg::Num(stringType), arg::Out(description),
                            arg::Num(descriptionCapacity), arg::Out(text), arg::Num(textCapacity),
                            arg::InOut(value), arg::Ptr(reserved1), arg::Ptr(reserved2), arg::Ptr(reserved3),
                            arg::Num(reservedFlag)});
    if (forced != 0) return static_cast<ZResult>(forced);
    Host& host = TheHost();
    auto fault = host.FaultCodes().FaultAt(first, faultIndex);
    if (!fault || !fault->definition.hasDescription) return kResultNotFound;
    std::wstring shown = fault->definition.description;
    if (!fault->described && shown.empty()) {
        shown = SpnDescription(host.faults, *host.DatabaseFor(handle), SpnOfBinNumber(fault->definition.binNumber));
    }
    TheHost().hostile.Text(shown, description, descriptionCapacity);
    TheHost().hostile.Text(WideToLatin1(shown), text, textCapacity);
    if (value != nullptr) *value = fault->definition.binNumber;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultCodeAttributeBinInfo(ZModuleHandle handle, uint16_t first, uint16_t second,
                                                       uint16_t third, uint16_t faultIndex,
                                                       uint16_t attributeIndex, int32_t stringType,
                                                       wchar_t* displayName, uint16_t displayNameCapacity,
                                                       char* key, uint16_t keyCapacity) {
    int32_t forced = Enter("Zorv_GetFaultCodeAttributeBinInfo",
                           {arg::Num(handle), arg::Num(first), arg::Num(second), arg::Num(third),
                            arg::Num(faultIndex), arg::Num(attributeIndex), arg::Num(stringType),
                            arg::Out(displayName), arg::Num(displayNameCapacity), arg::Out(key),
                            arg::Num(keyCapacity)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto fault = TheHost().FaultCodes().FaultAt(first, faultIndex);
    auto attribute = fault ? AttributeOf(fault->definition, attributeIndex) : std::nullopt;
    if (!attribute) return kResultNotFound;
    TheHost().hostile.Text(attribute->displayName, displayName, displayNameCapacity);
    TheHost().hostile.Text(attribute->key, key, keyCapacity);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetRecvdFaultCodeCount(ZModuleHandle handle, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetRecvdFaultCodeCount", {arg::Num(handle), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    Host& host = TheHost();
    auto forcedCount = host.faults.ReceivedCountOverride();
    ReceivedFaultCodes received = host.receivedFaults.Of(handle);
    size_t listed = received.active.dtcs.size() + received.previouslyActive.dtcs.size();
    if (count != nullptr) *count = forcedCount.value_or(static_cast<uint16_t>(std::min<size_t>(listed, UINT16_MAX)));
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetRecvdFaultCodeData(ZModuleHandle handle, ZFaultGroupId groupId, ZBinNumber binNumber,
                                                uint8_t* data, uint16_t* length, int32_t fmi) {
    int32_t forced = Enter("Zorv_GetRecvdFaultCodeData", {arg::Num(handle), arg::Num(groupId),
                                                          arg::Num(binNumber), arg::Out(data),
                                                          arg::InOut(length), arg::Num(fmi)});
    auto bytes = forced == 0 ? ReceivedBytes(handle, groupId, binNumber, fmi) : std::nullopt;
    if (!bytes) {
        if (length != nullptr) *length = 0;
        return forced != 0 ? static_cast<ZResult>(forced) : kResultNotFound;
    }
    if (length == nullptr) return kZorvSuccess;
    // Never more than the caller's room.
    size_t copied = data != nullptr ? std::min<size_t>(*length, bytes->size()) : 0;
    std::copy(bytes->begin(), bytes->begin() + static_cast<std::ptrdiff_t>(copied), data);
    *length = TheHost().hostile.Count<uint16_t>(copied, *length);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetScaledAttributeByID(ZModuleHandle handle, ZFaultGroupId groupId, ZBinNumber binNumber,
                                                 const uint8_t* data, uint16_t length, int32_t stringType,
                                                 uint16_t attributeId, IScaledAttributes** scaled) {
    int32_t forced = Enter("Zorv_GetScaledAttributeByID", {arg::Num(handle), arg::Num(groupId),
                                                           arg::Num(binNumber), arg::Bytes(data, length),
                                                           arg::Num(length), arg::Num(stringType),
                                                           arg::Num(attributeId), arg::Out(scaled)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (scaled == nullptr) return kResultBadArgument;
    if (TheHost().FaultCodes().Described()) return DescribedAttribute(groupId, binNumber, attributeId, scaled);
    return ScaledFromBytes(groupId, data, length, attributeId, scaled);
}
