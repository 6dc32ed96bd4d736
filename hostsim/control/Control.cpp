// The control API of HostSim.h over the parts of the one host.
#include <cstdarg>

#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/TextConvert.h"
#include "hostsim/control/TraceFormat.h"
#include "hostsim/database/FaultCodeFile.h"
#include "hostsim/database/FaultTexts.h"
#include "hostsim/database/JsonDatabase.h"
#include "hostsim/imports/ScaledAttributes.h"

namespace hostsim {

void Reset() {
    TheHost().Reset();
    ForgetTrafficCapture();
}

std::vector<Call> Calls() { return TheHost().log.Snapshot(); }
std::vector<Call> CallsTo(const std::string& function) { return TheHost().log.CallsTo(function); }
size_t CallCount(const std::string& function) { return TheHost().log.Count(function); }
void ClearCalls() { TheHost().log.Clear(); }

void SetResult(const std::string& function, int32_t result) { TheHost().results.Set(function, result); }
void QueueResults(const std::string& function, const std::vector<int32_t>& results) {
    TheHost().results.Queue(function, results);
}
void ClearResult(const std::string& function) { TheHost().results.Clear(function); }
void FailCallNumber(uint32_t calls, int32_t result) { TheHost().results.FailCallNumber(calls, result); }
std::string FailedCall() { return TheHost().results.FailedCall(); }
void SetHostileBehaviour(uint32_t behaviours) { TheHost().hostile.Set(behaviours); }

void RemoveLookup(int32_t number, int32_t moduleId) { TheHost().lookup.Remove(number, moduleId); }
void RestoreLookup(int32_t number, int32_t moduleId) { TheHost().lookup.Restore(number, moduleId); }
void RegisterModuleFunction(int32_t number, int32_t moduleId, void* function) {
    TheHost().lookup.Register(number, moduleId, function);
}

void SetModuleId(ZModuleHandle handle, ZModuleId moduleId) { TheHost().modules.SetModuleId(handle, moduleId); }
void SetPlaybackStatus(uint32_t status) { TheHost().modules.SetPlaybackStatus(status); }
void SetDeviceId(uint16_t deviceId) { TheHost().modules.SetDeviceId(deviceId); }
void SetProductId(int16_t productId) { TheHost().modules.SetProductId(productId); }
void SetSysTime(uint32_t milliseconds) { TheHost().clock.Freeze(milliseconds); }
void AdvanceSysTime(uint32_t milliseconds) { TheHost().clock.Advance(milliseconds); }
void UseRealSysTime() { TheHost().clock.UseReal(); }

void SetSendResultRule(SendResultRule rule) { TheHost().bus.SetSendResultRule(std::move(rule)); }
std::vector<std::vector<uint8_t>> SentMessages() { return TheHost().sent.Messages(); }
void ClearSentMessages() { TheHost().sent.Clear(); }
void SetJ1939Name(uint8_t address, const J1939DecodedName& name) { TheHost().bus.SetName(address, name); }
void SetAssignable(uint32_t first, uint32_t second, bool assignable) {
    TheHost().bus.SetAssignable(first, second, assignable);
}
void SetAssignableDefault(bool assignable) { TheHost().bus.SetAssignableDefault(assignable); }

void SetBinFileComponents(const std::wstring& fileName, const std::vector<std::string>& components) {
    TheHost().binFiles.SetContents(fileName, components);
}
std::vector<std::string> LoadedComponents(ZModuleHandle handle) { return TheHost().binFiles.Loaded(handle); }

void AddDataPoint(const DataPointDefinition& dataPoint) { TheHost().database.AddDataPoint(dataPoint); }
DataPointState DataPoint(TESKID teskId) { return TheHost().database.State(teskId); }
void AddCategory(const CategoryDefinition& category) { TheHost().database.AddCategory(category); }
void SetDiscoveryUdis(const std::vector<ZUdi>& udis) { TheHost().database.SetDiscoveryUdis(udis); }

void SetDataFolder(const std::string& path) { TheHost().dataFolder.Set(path); }
std::string DataFolderPath() { return TheHost().dataFolder.Get(); }
std::string CheckDatabaseFile(const std::string& path) { return ReadDatabaseFile(path).error; }
std::string LastDatabaseError() { return TheHost().moduleDatabases.LastLoadError(); }
DataPointState ModuleDataPoint(ZModuleHandle handle, TESKID teskId) {
    return TheHost().DatabaseFor(handle)->State(teskId);
}
std::vector<DataPointState> ModuleDataPoints(ZModuleHandle handle) {
    auto database = TheHost().DatabaseFor(handle);
    std::vector<DataPointState> states;
    for (size_t index = 0; auto dataPoint = database->DataPointAt(index); ++index) {
        states.push_back(database->State(dataPoint->teskId));
    }
    return states;
}
DataPointState ModuleDataPoint(ZModuleHandle handle, const std::string& name) {
    auto database = TheHost().DatabaseFor(handle);
    auto dataPoint = database->FindByName(name);
    return dataPoint ? database->State(dataPoint->teskId) : DataPointState{};
}

void AddFaultGroup(ZFaultGroupId groupId) { TheHost().faults.AddGroup(FaultGroupDefinition{groupId, {}, {}, 0}); }
void AddFaultGroup(const FaultGroupDefinition& group) { TheHost().faults.AddGroup(group); }
void AddFault(const FaultDefinition& fault) { TheHost().faults.AddFault(fault); }
void SetReceivedFaultCount(uint16_t count) { TheHost().faults.SetReceivedCount(count); }
ReceivedFaultCodes ReceivedFaults(ZModuleHandle handle) { return TheHost().receivedFaults.Of(handle); }
int32_t LiveScaledAttributes() { return ScaledAttributes::LiveCount(); }
std::string CheckFaultDatabaseFile(const std::string& path) { return ReadFaultCodeFile(path).error; }
std::string FaultDatabaseError() { return TheHost().FaultCodes().FileError(); }
FaultListView FaultList(ZModuleHandle handle) {
    Host& host = TheHost();
    return BuildFaultList(host.FaultCodes(), *host.DatabaseFor(handle), host.receivedFaults.Of(handle));
}
std::vector<FaultListEntry> DescribeActiveCodes(ZModuleHandle handle, const std::vector<Dtc>& codes) {
    Host& host = TheHost();
    ReceivedFaultCodes received;
    received.activeReceived = true;
    received.active.dtcs = codes;
    return BuildFaultList(host.FaultCodes(), *host.DatabaseFor(handle), received).faults;
}
FreezeFrameRecord FreezeFrame(ZModuleHandle handle) { return TheHost().freezeFrames.Of(handle); }
std::vector<FaultInfoWindow> FaultInfoWindows() { return TheHost().faultWindows.Snapshot(); }
void SetJ1708AppPresent(bool present) { TheHost().j1708.SetPresent(present, TheHost().lookup); }
std::vector<J1708Command> J1708Commands() { return TheHost().j1708.Commands().Snapshot(); }

void QueueUiAnswer(int32_t answer) { TheHost().ui.QueueAnswer(answer); }
void QueueUiReply(const std::wstring& reply) { TheHost().ui.QueueReply(reply); }
void QueueHeldUiScreen() { TheHost().ui.QueueHeldScreen(); }
bool WaitForHeldUiScreen(uint32_t timeoutMs) { return TheHost().ui.WaitForHeldScreen(timeoutMs); }
void SetUiResponder(
    std::function<std::wstring(ZModuleHandle handle, const std::wstring& title, const std::wstring& message)> responder) {
    TheHost().ui.SetResponder(std::move(responder));
}
std::vector<UiScreen> UiScreens() { return TheHost().uiScreens.Snapshot(); }
void SetResourceString(const std::wstring& name, const std::wstring& text) { TheHost().ui.SetResource(name, text); }
void SetHealthReport(const std::wstring& text) { TheHost().ui.SetHealthReport(text); }

std::vector<TraceLine> Traces() { return TheHost().traces.Lines(); }
void ClearTraces() { TheHost().traces.ClearLines(); }
std::vector<ZTraceId> OpenTraceIds() { return TheHost().traces.OpenIds(); }

std::string FormatTrace(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatWindowsWide(format, args);
    va_end(args);
    return WideToUtf8(text);
}

std::string ToUtf8(const std::wstring& text) { return WideToUtf8(text); }
std::wstring FromUtf8(const std::string& text) { return Utf8ToWide(text); }

}  // namespace hostsim
