// Imports about modules, the bus connection and the host's notifications.
#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>

#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/database/Scenario.h"
#include "hostsim/imports/ArgText.h"

using namespace hostsim;

namespace {

// The adapter command that adds a source address to the connection's filter, and where
// the address sits in its seven bytes (04 00 00 00 00 SA 00).
constexpr int32_t kCommandSourceFilter = 4;
constexpr uint16_t kSourceFilterLength = 7;
constexpr size_t kSourceFilterAddressOffset = 5;

constexpr const wchar_t* kChannelKey = L"Channel=";
constexpr int kDecimalBase = 10;

// The channel of a connect text such as "J1939:Baud=Auto,Channel=1"; 0 when it has none.
int ChannelOfConnectText(const wchar_t* text) {
    if (text == nullptr) return 0;
    std::wstring connect = text;
    size_t key = connect.find(kChannelKey);
    if (key == std::wstring::npos) return 0;
    int channel = 0;
    size_t digits = 0;
    for (size_t i = key + std::wcslen(kChannelKey); i < connect.size() && std::iswdigit(connect[i]); ++i, ++digits) {
        channel = channel * kDecimalBase + (connect[i] - L'0');
        if (channel > kMaxChannel) return 0;
    }
    return digits != 0 ? channel : 0;
}

// Writes as many values as the caller has room for and the count written; a failure
// (forced result) leaves nothing written and the count 0.
template <typename T>
void WriteList(const std::vector<T>& values, T* list, int32_t* count) {
    if (count == nullptr) return;
    size_t room = list != nullptr && *count > 0 ? static_cast<size_t>(*count) : 0;
    size_t written = std::min(room, values.size());
    std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(written), list);
    *count = TheHost().hostile.Count<int32_t>(written, room);
}

}  // namespace

int32_t ZORV_STDCALL Zorv_GetModuleIDFromHandle(ZModuleHandle handle, ZModuleId* moduleId) {
    int32_t forced = Enter("Zorv_GetModuleIDFromHandle", {arg::Num(handle), arg::Out(moduleId)});
    if (forced != 0) return forced;
    if (moduleId != nullptr) *moduleId = TheHost().modules.ModuleIdOf(handle);
    return 0;
}

int32_t ZORV_STDCALL Zorv_GetModulePlaybackStatus(ZModuleId moduleId, uint32_t* status) {
    int32_t forced = Enter("Zorv_GetModulePlaybackStatus", {arg::Num(moduleId), arg::Out(status)});
    if (forced != 0) return forced;
    if (status != nullptr) *status = TheHost().modules.PlaybackStatus();
    return 0;
}

int32_t ZORV_STDCALL Zorv_GetModuleIDs(ZModuleId* ids, int32_t* count, int32_t selector) {
    int32_t forced = Enter("Zorv_GetModuleIDs", {arg::Out(ids), arg::InOut(count), arg::Num(selector)});
    if (forced != 0) {
        if (count != nullptr) *count = 0;
        return forced;
    }
    Host& host = TheHost();
    std::vector<ZModuleId> listed = host.modules.ModuleIds();
    bool j1708Listed = std::find(listed.begin(), listed.end(), zorv::kModuleIdJ1708App) != listed.end();
    if (host.j1708.Present() && !j1708Listed) listed.push_back(zorv::kModuleIdJ1708App);
    WriteList(listed, ids, count);
    return 0;
}

int32_t ZORV_STDCALL Zorv_GetModuleHandles(ZModuleId moduleId, int32_t* count, ZModuleHandle* handles) {
    int32_t forced = Enter("Zorv_GetModuleHandles", {arg::Num(moduleId), arg::InOut(count), arg::Out(handles)});
    if (forced != 0) {
        if (count != nullptr) *count = 0;
        return forced;
    }
    Host& host = TheHost();
    std::vector<ZModuleHandle> listed = host.modules.HandlesOf(moduleId);
    // The J1708 application has its own handle unless a test gave it others.
    if (moduleId == zorv::kModuleIdJ1708App && host.j1708.Present() && listed.empty())
        listed.push_back(kJ1708AppHandle);
    WriteList(listed, handles, count);
    return 0;
}

ZResult ZORV_STDCALL Zorv_Connect(ZModuleHandle handle, const wchar_t* connectText, uint16_t deviceId,
                                  void* reserved, ZBool32 firstOnChannel) {
    int32_t forced = Enter("Zorv_Connect", {arg::Num(handle), arg::Text(connectText), arg::Num(deviceId),
                                            arg::Ptr(reserved), arg::Num(firstOnChannel)});
    if (forced != 0) return static_cast<ZResult>(forced);
    int channel = ChannelOfConnectText(connectText);
    if (channel < 1) return kResultBadArgument;
    TheHost().connections.Connect(handle, channel, firstOnChannel != 0);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_ClientConnectionNotify(ZModuleHandle handle, int32_t state) {
    return static_cast<ZResult>(Enter("Zorv_ClientConnectionNotify", {arg::Num(handle), arg::Num(state)}));
}

ZResult ZORV_STDCALL Zorv_EnableParsing(ZModuleHandle handle, ZBool32 enable) {
    int32_t forced = Enter("Zorv_EnableParsing", {arg::Num(handle), arg::Num(enable)});
    if (forced != 0) return static_cast<ZResult>(forced);
    // A handle without a connection has nothing to parse; the call still succeeds.
    TheHost().connections.EnableParsing(handle, enable != 0);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_EnableHashing(ZModuleHandle handle) {
    return static_cast<ZResult>(Enter("Zorv_EnableHashing", {arg::Num(handle)}));
}

ZResult ZORV_STDCALL Zorv_AddNotifyModule(ZModuleHandle handle) {
    return static_cast<ZResult>(Enter("Zorv_AddNotifyModule", {arg::Num(handle)}));
}

ZResult ZORV_STDCALL Zorv_RemoveNotifyModule(ZModuleHandle handle) {
    int32_t forced = Enter("Zorv_RemoveNotifyModule", {arg::Num(handle)});
    // The module is leaving: the host closes its screens, as a user who left them.
    TheHost().ui.CloseScreensOf(handle);
    return static_cast<ZResult>(forced);
}

ZResult ZORV_STDCALL Zorv_OutboundEnable(ZModuleHandle handle, ZBool32 enable) {
    return static_cast<ZResult>(Enter("Zorv_OutboundEnable", {arg::Num(handle), arg::Num(enable)}));
}

ZResult ZORV_STDCALL Zorv_SendCommand(ZModuleHandle handle, int32_t command, uint8_t* data, uint16_t length,
                                      int32_t option, int32_t wait, void* callback) {
    int32_t forced = Enter("Zorv_SendCommand", {arg::Num(handle), arg::Num(command), arg::Bytes(data, length),
                                                arg::Num(length), arg::Num(option), arg::Num(wait),
                                                arg::Ptr(callback)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (command != kCommandSourceFilter) return kZorvSuccess;
    if (data == nullptr || length < kSourceFilterLength || data[0] != kCommandSourceFilter) return kResultBadArgument;
    TheHost().connections.AddFilter(handle, data[kSourceFilterAddressOffset]);
    return kZorvSuccess;
}

uint32_t ZORV_STDCALL Zorv_GetSysTime(void) {
    Enter("Zorv_GetSysTime", {});
    return TheHost().clock.Now();
}

ZResult ZORV_STDCALL Zorv_SetVehicleData(ZModuleHandle handle, uintptr_t vehicleData) {
    return static_cast<ZResult>(Enter("Zorv_SetVehicleData", {arg::Num(handle), arg::Num(vehicleData)}));
}
