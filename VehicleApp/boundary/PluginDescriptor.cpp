// GetDllInfo and the dispatch table: the only door through which the host enters.
#include "VehicleApp/boundary/Entries.h"
#include "VehicleApp/boundary/PluginExport.h"
#include "host/ZorvPlugin.h"

namespace marl {
namespace {

using namespace entries;

template <typename Fn>
void* Address(Fn fn) {
    return reinterpret_cast<void*>(fn);
}

const zorv::DispatchEntry kDispatchTable[] = {
    {zorv::kEntryRegisterModule, Address(&RegisterModule)},
    {zorv::kEntryUnregisterModule, Address(&UnregisterModule)},
    {zorv::kEntryCheckHandleSign, Address(&CheckHandleSign)},
    {zorv::kEntryNotifyDisconnect, Address(&NotifyDisconnect)},
    {zorv::kEntryRequestDiagnosticPgns, Address(&RequestDiagnosticPgnsForHandle)},
    {zorv::kEntryClearFaultCodes, Address(&ClearFaultCodes)},
    {zorv::kEntryParseMessage, Address(&ParseMessage)},
    {zorv::kEntryUnsupported1, Address(&UnsupportedOut1)},
    {zorv::kEntryUnsupported2, Address(&UnsupportedOut2)},
    {zorv::kEntryUnsupported3, Address(&UnsupportedArgs2Out)},
    {zorv::kEntryUnsupported4, Address(&UnsupportedArg1Out)},
    {zorv::kEntryUnsupported5, Address(&UnsupportedArgs2Out)},
    {zorv::kEntrySubscribeDatapoint, Address(&SubscribeDatapoint)},
    {zorv::kEntryUnsubscribeDatapoint, Address(&UnsubscribeDatapoint)},
    {zorv::kEntrySubscribeDatapoints, Address(&SubscribeDatapoints)},
    {zorv::kEntryUnsubscribeDatapoints, Address(&UnsubscribeDatapoints)},
    {zorv::kEntryVehicleAppCommand, Address(&VehicleAppCommand)},
    {zorv::kEntryHashMessage, Address(&HashMessage)},
    {zorv::kEntryAppendDataToRecordingFile, Address(&AppendDataToRecordingFile)},
    {zorv::kEntryReadDataFromRecordingFile, Address(&ReadDataFromRecordingFile)},
    {zorv::kEntryStartRecording, Address(&StartRecording)},
    {zorv::kEntryUnsupported6, Address(&UnsupportedWithApp)},
    {zorv::kEntryRegisterModuleWithInfo, Address(&RegisterModuleWithInfo)},
    {0, nullptr},
};

static_assert(sizeof(kDispatchTable) / sizeof(kDispatchTable[0]) == zorv::kEntryCount + 1,
              "23 entries and the closing row");

zorv::PluginDescriptor g_descriptor{};

}  // namespace
}  // namespace marl

extern "C" MARL_EXPORT zorv::PluginDescriptor* GetDllInfo() {
    using marl::g_descriptor;
    g_descriptor.interfaceVersion = zorv::kDescriptorInterfaceVersion;
    g_descriptor.table = marl::kDispatchTable;
    g_descriptor.secondInterfaceVersion = zorv::kDescriptorSecondInterfaceVersion;
    g_descriptor.reserved12 = 0;
    g_descriptor.field20 = zorv::kDescriptorField20;
    return &g_descriptor;
}
