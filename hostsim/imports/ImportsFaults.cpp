// Imports about the fault-code database and the faults received from ECUs. The group's
// three database indexes are (group position, 0, 0); only the first is used to find it.
#include <algorithm>
#include <cstring>
#include <optional>

#include "host/ZorvApi.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/imports/ScaledAttributes.h"
#include "hostsim/TextConvert.h"

using namespace hostsim;

namespace {

constexpr uint16_t kUnusedGroupIndex = 0;

std::optional<FaultAttributeDefinition> AttributeOf(const FaultDefinition& fault, size_t index) {
    if (index >= fault.attributes.size()) return std::nullopt;
    return fault.attributes[index];
}

}  // namespace

ZResult ZORV_STDCALL Zorv_GetGroupCount(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t componentIndex,
                                        uint32_t* count) {
    int32_t forced = Enter("Zorv_GetGroupCount", {arg::Num(handle), arg::Num(vehicleIndex),
                                                  arg::Num(componentIndex), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count != nullptr) *count = static_cast<uint32_t>(TheHost().faults.GroupCount());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultGroupIDByIndex(ZModuleHandle handle, uint16_t vehicleIndex,
                                                 uint16_t componentIndex, uint32_t index, ZFaultGroupId* groupId) {
    int32_t forced = Enter("Zorv_GetFaultGroupIDByIndex", {arg::Num(handle), arg::Num(vehicleIndex),
                                                           arg::Num(componentIndex), arg::Num(index),
                                                           arg::Out(groupId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto id = TheHost().faults.GroupIdAt(index);
    if (!id) return kResultNotFound;
    if (groupId != nullptr) *groupId = *id;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetFaultGroupIndexesByID(ZModuleHandle handle, ZFaultGroupId groupId, uint16_t* first,
                                                   uint16_t* second, uint16_t* third) {
    int32_t forced = Enter("Zorv_GetFaultGroupIndexesByID", {arg::Num(handle), arg::Num(groupId),
                                                             arg::Out(first), arg::Out(second), arg::Out(third)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto index = TheHost().faults.GroupIndexOf(groupId);
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
    auto index = TheHost().faults.FaultIndexOf(first, binNumber);
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
    auto fault = TheHost().faults.FaultAt(first, faultIndex);
    if (!fault) return kResultNotFound;
    if (count != nullptr) *count = static_cast<int16_t>(fault->attributes.size());
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
    auto fault = TheHost().faults.FaultAt(first, faultIndex);
    if (!fault || !fault->hasDescription) return kResultNotFound;
    CopyText(fault->description, description, descriptionCapacity);
    CopyText(WideToLatin1(fault->description), text, textCapacity);
    if (value != nullptr) *value = fault->binNumber;
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
    auto fault = TheHost().faults.FaultAt(first, faultIndex);
    auto attribute = fault ? AttributeOf(*fault, attributeIndex) : std::nullopt;
    if (!attribute) return kResultNotFound;
    CopyText(attribute->displayName, displayName, displayNameCapacity);
    CopyText(attribute->key, key, keyCapacity);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetRecvdFaultCodeCount(ZModuleHandle handle, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetRecvdFaultCodeCount", {arg::Num(handle), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count != nullptr) *count = TheHost().faults.ReceivedCount();
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetRecvdFaultCodeData(ZModuleHandle handle, ZFaultGroupId groupId, ZBinNumber binNumber,
                                                uint8_t* data, uint16_t* length, int32_t fmi) {
    int32_t forced = Enter("Zorv_GetRecvdFaultCodeData", {arg::Num(handle), arg::Num(groupId),
                                                          arg::Num(binNumber), arg::Out(data),
                                                          arg::InOut(length), arg::Num(fmi)});
    auto fault = forced == 0 ? TheHost().faults.Find(groupId, binNumber) : std::nullopt;
    if (!fault) {
        if (length != nullptr) *length = 0;
        return forced != 0 ? static_cast<ZResult>(forced) : kResultNotFound;
    }
    if (length == nullptr) return kZorvSuccess;
    size_t copied = data != nullptr ? std::min<size_t>(*length, fault->receivedData.size()) : 0;
    std::copy(fault->receivedData.begin(), fault->receivedData.begin() + static_cast<std::ptrdiff_t>(copied), data);
    *length = static_cast<uint16_t>(copied);
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
    auto fault = TheHost().faults.Find(groupId, binNumber);
    if (!fault || scaled == nullptr) return kResultNotFound;
    for (const FaultAttributeDefinition& attribute : fault->attributes) {
        if (attribute.attributeId == attributeId) {
            *scaled = new ScaledAttributes(attributeId, attribute.hasValue, attribute.valueText);
            return kZorvSuccess;
        }
    }
    return kResultNotFound;
}
