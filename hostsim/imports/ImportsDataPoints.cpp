// Imports about the data points of the parameter database: identity, attributes,
// message table, values and visibility.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/ZorvApi.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/TextConvert.h"

using namespace hostsim;

ZResult ZORV_STDCALL Zorv_GetDPCount(ZModuleHandle handle, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetDPCount", {arg::Num(handle), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count != nullptr) *count = static_cast<uint16_t>(TheHost().DatabaseFor(handle)->DataPointCount());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetDPID(ZModuleHandle handle, uint16_t index, TESKID* teskId) {
    int32_t forced = Enter("Zorv_GetDPID", {arg::Num(handle), arg::Num(index), arg::Out(teskId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto dataPoint = TheHost().DatabaseFor(handle)->DataPointAt(index);
    if (!dataPoint) return kResultNotFound;
    if (teskId != nullptr) *teskId = dataPoint->teskId;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetDPIDbyName(ZModuleHandle handle, const char* name, TESKID* teskId) {
    int32_t forced = Enter("Zorv_GetDPIDbyName", {arg::Num(handle), arg::Text(name), arg::Out(teskId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (name == nullptr) return kResultNotFound;
    auto dataPoint = TheHost().DatabaseFor(handle)->FindByName(name);
    if (!dataPoint) return kResultNotFound;
    if (teskId != nullptr) *teskId = dataPoint->teskId;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetDPAttributes(ZModuleHandle handle, TESKID teskId, sDpAttribute* attribute) {
    int32_t forced = Enter("Zorv_GetDPAttributes", {arg::Num(handle), arg::Num(teskId), arg::Out(attribute)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto dataPoint = TheHost().DatabaseFor(handle)->Find(teskId);
    if (!dataPoint) return kResultNotFound;
    if (attribute != nullptr) *attribute = dataPoint->attribute;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetPIDForTESKID(ZModuleHandle handle, TESKID teskId, ZPgn* pgn) {
    int32_t forced = Enter("Zorv_GetPIDForTESKID", {arg::Num(handle), arg::Num(teskId), arg::Out(pgn)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto dataPoint = TheHost().DatabaseFor(handle)->Find(teskId);
    if (!dataPoint) return kResultNotFound;
    if (pgn != nullptr) *pgn = dataPoint->attribute.pgn;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetIndexForPID(ZModuleHandle handle, ZPgn pgn, int16_t* index) {
    int32_t forced = Enter("Zorv_GetIndexForPID", {arg::Num(handle), arg::Num(pgn), arg::Out(index)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto found = TheHost().DatabaseFor(handle)->PgnIndex(pgn);
    if (!found) return kResultNotFound;
    if (index != nullptr) *index = static_cast<int16_t>(*found);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetTESKIDCountForPID(ZModuleHandle handle, int16_t index, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetTESKIDCountForPID", {arg::Num(handle), arg::Num(index), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (index < 0) return kResultNotFound;
    auto teskIds = TheHost().DatabaseFor(handle)->TeskIdsOfPgnIndex(static_cast<size_t>(index));
    if (!teskIds) return kResultNotFound;
    if (count != nullptr) *count = static_cast<uint16_t>(teskIds->size());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetTESKIDFromPID(ZModuleHandle handle, int16_t index, uint16_t position, TESKID* teskId) {
    int32_t forced = Enter("Zorv_GetTESKIDFromPID", {arg::Num(handle), arg::Num(index), arg::Num(position),
                                                     arg::Out(teskId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (index < 0) return kResultNotFound;
    auto teskIds = TheHost().DatabaseFor(handle)->TeskIdsOfPgnIndex(static_cast<size_t>(index));
    if (!teskIds || position >= teskIds->size()) return kResultNotFound;
    if (teskId != nullptr) *teskId = (*teskIds)[position];
    return kZorvSuccess;
}

// Each data point is read with a message of its own, so its message index is its index
// in the data-point table.
ZResult ZORV_STDCALL Zorv_FindMsg(ZModuleHandle handle, TESKID teskId, uint16_t* msgIndex) {
    int32_t forced = Enter("Zorv_FindMsg", {arg::Num(handle), arg::Num(teskId), arg::Out(msgIndex)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto index = TheHost().DatabaseFor(handle)->IndexOf(teskId);
    if (!index) return kResultNotFound;
    if (msgIndex != nullptr) *msgIndex = static_cast<uint16_t>(*index);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetQueryMsg(ZModuleHandle handle, uint16_t msgIndex, uint8_t* query, uint16_t capacity,
                                      uint16_t* length) {
    int32_t forced = Enter("Zorv_GetQueryMsg", {arg::Num(handle), arg::Num(msgIndex), arg::Out(query),
                                                arg::Num(capacity), arg::Out(length)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto dataPoint = TheHost().DatabaseFor(handle)->DataPointAt(msgIndex);
    if (!dataPoint) return kResultNotFound;
    size_t copied = query != nullptr ? std::min<size_t>(capacity, dataPoint->query.size()) : 0;
    std::copy(dataPoint->query.begin(), dataPoint->query.begin() + static_cast<std::ptrdiff_t>(copied), query);
    if (length != nullptr) *length = TheHost().hostile.Count<uint16_t>(dataPoint->query.size(), capacity);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetTeskIdsFromUdiList(ZModuleHandle handle, const ZUdi* udis, uint32_t udiCount,
                                                TESKID* teskIds, uint32_t* count) {
    std::string udiText = "[";
    for (uint32_t i = 0; udis != nullptr && i < udiCount; ++i) udiText += (i != 0 ? ", " : "") + arg::Num(udis[i]);
    udiText += "]";
    int32_t forced = Enter("Zorv_GetTeskIdsFromUdiList", {arg::Num(handle), udiText, arg::Num(udiCount),
                                                          arg::Out(teskIds), arg::InOut(count)});
    if (forced != 0) {
        if (count != nullptr) *count = 0;
        return static_cast<ZResult>(forced);
    }
    if (count == nullptr) return kZorvSuccess;
    std::vector<ZUdi> asked = udis != nullptr ? std::vector<ZUdi>(udis, udis + udiCount) : std::vector<ZUdi>();
    std::vector<TESKID> found = TheHost().DatabaseFor(handle)->TeskIdsForUdis(asked);
    if (found.size() > *count) {
        *count = static_cast<uint32_t>(found.size());
        return kResultUdiListTooSmall;
    }
    if (teskIds != nullptr) std::copy(found.begin(), found.end(), teskIds);
    *count = TheHost().hostile.Count<uint32_t>(found.size(), *count);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_SetDataPointVisible(ZModuleHandle handle, TESKID teskId, ZBool32 visible) {
    int32_t forced = Enter("Zorv_SetDataPointVisible", {arg::Num(handle), arg::Num(teskId), arg::Num(visible)});
    if (forced != 0) return static_cast<ZResult>(forced);
    return TheHost().DatabaseFor(handle)->SetVisible(teskId, visible != 0) ? kZorvSuccess : kResultNotFound;
}

ZResult ZORV_STDCALL Zorv_GetDPVisibility(ZModuleHandle handle, TESKID teskId, int32_t* visible) {
    int32_t forced = Enter("Zorv_GetDPVisibility", {arg::Num(handle), arg::Num(teskId), arg::Out(visible)});
    if (forced != 0) return static_cast<ZResult>(forced);
    DataPointState state = TheHost().DatabaseFor(handle)->State(teskId);
    if (!state.known) return kResultNotFound;
    if (visible != nullptr) *visible = state.visible ? 1 : 0;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_SetDataPointValid(ZModuleHandle handle, TESKID teskId, ZBool32 valid) {
    int32_t forced = Enter("Zorv_SetDataPointValid", {arg::Num(handle), arg::Num(teskId), arg::Num(valid)});
    if (forced != 0) return static_cast<ZResult>(forced);
    return TheHost().DatabaseFor(handle)->SetValid(teskId, valid != 0) ? kZorvSuccess : kResultNotFound;
}

ZResult ZORV_STDCALL Zorv_GetDPValue(ZModuleHandle handle, TESKID teskId, uint8_t* value, uint16_t* length) {
    int32_t forced = Enter("Zorv_GetDPValue", {arg::Num(handle), arg::Num(teskId), arg::Out(value),
                                               arg::InOut(length)});
    DataPointState state = forced == 0 ? TheHost().DatabaseFor(handle)->State(teskId) : DataPointState{};
    if (!state.known) {
        if (length != nullptr) *length = 0;
        return forced != 0 ? static_cast<ZResult>(forced) : kResultNotFound;
    }
    if (length == nullptr) return kZorvSuccess;
    size_t copied = value != nullptr ? std::min<size_t>(*length, state.value.size()) : 0;
    std::copy(state.value.begin(), state.value.begin() + static_cast<std::ptrdiff_t>(copied), value);
    *length = TheHost().hostile.Count<uint16_t>(copied, *length);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_SetDPValue(ZModuleHandle handle, TESKID teskId, const uint8_t* value, uint16_t length,
                                     int32_t flags) {
    int32_t forced = Enter("Zorv_SetDPValue", {arg::Num(handle), arg::Num(teskId), arg::Bytes(value, length),
                                               arg::Num(length), arg::Num(flags)});
    if (forced != 0) return static_cast<ZResult>(forced);
    std::vector<uint8_t> bytes = value != nullptr ? std::vector<uint8_t>(value, value + length)
                                                  : std::vector<uint8_t>();
    return TheHost().DatabaseFor(handle)->SetValue(teskId, bytes) ? kZorvSuccess : kResultNotFound;
}

ZResult ZORV_STDCALL Zorv_SetDPDisplayValue(ZModuleHandle handle, TESKID teskId, const wchar_t* text,
                                            uint16_t length) {
    std::wstring value;
    for (uint16_t i = 0; text != nullptr && i < length && text[i] != L'\0'; ++i) value += text[i];
    int32_t forced = Enter("Zorv_SetDPDisplayValue", {arg::Num(handle), arg::Num(teskId),
                                                      arg::Text(value.c_str()), arg::Num(length)});
    if (forced != 0) return static_cast<ZResult>(forced);
    return TheHost().DatabaseFor(handle)->SetDisplayValue(teskId, value) ? kZorvSuccess : kResultNotFound;
}

ZResult ZORV_STDCALL Zorv_GetDataPointValueStr(ZModuleHandle handle, TESKID teskId, uint32_t selector,
                                               int32_t format, wchar_t* text, uint16_t capacity,
                                               uint32_t* length) {
    int32_t forced = Enter("Zorv_GetDataPointValueStr", {arg::Num(handle), arg::Num(teskId), arg::Num(selector),
                                                         arg::Num(format), arg::Out(text), arg::Num(capacity),
                                                         arg::InOut(length)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto valueText = TheHost().DatabaseFor(handle)->ValueText(teskId);
    if (!valueText) return kResultNotFound;
    size_t copied = TheHost().hostile.Text(*valueText, text, capacity);
    if (length != nullptr) *length = TheHost().hostile.Count<uint32_t>(copied, capacity);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetDPDescription(ZModuleHandle handle, TESKID teskId, int32_t stringType,
                                           wchar_t* wideName, uint16_t wideCapacity, char* name,
                                           uint16_t nameCapacity) {
    int32_t forced = Enter("Zorv_GetDPDescription", {arg::Num(handle), arg::Num(teskId), arg::Num(stringType),
                                                     arg::Out(wideName), arg::Num(wideCapacity), arg::Out(name),
                                                     arg::Num(nameCapacity)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto dataPoint = TheHost().DatabaseFor(handle)->Find(teskId);
    if (!dataPoint) return kResultNotFound;
    TheHost().hostile.Text(dataPoint->description, wideName, wideCapacity);
    TheHost().hostile.Text(dataPoint->name, name, nameCapacity);
    return kZorvSuccess;
}
