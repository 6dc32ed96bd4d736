// The host's fault functions reached through the look-up: the data manager's fault
// list, attribute records and the data points related to a fault.
#include <cstring>

#include "host/ZorvLookup.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/imports/HostFunctions.h"
#include "hostsim/HostSim.h"

namespace hostsim {
namespace {

ZResult ZORV_STDCALL ClearFaultList(ZModuleHandle handle) {
    return static_cast<ZResult>(Enter(names::kClearFaultList, {arg::Num(handle)}));
}

ZResult ZORV_STDCALL GetAttributeBinInfo(ZModuleHandle handle, ZFaultGroupId groupId,
                                         ZBinNumber binNumber, uint16_t attributeIndex,
                                         AttributeBinInfo* record) {
    int32_t forced = Enter(names::kGetAttributeBinInfo, {arg::Num(handle), arg::Num(groupId),
                                                         arg::Num(binNumber), arg::Num(attributeIndex),
                                                         arg::Out(record)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto fault = TheHost().faults.Find(groupId, binNumber);
    if (!fault || attributeIndex >= fault->attributes.size()) return kResultNotFound;
    if (record != nullptr) {
        std::memset(record, 0, sizeof(*record));
        record->attributeId = fault->attributes[attributeIndex].attributeId;
    }
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetFaultRelatedTeskIdCount(ZModuleHandle handle, ZBinNumber binNumber,
                                                uint16_t* count) {
    int32_t forced = Enter(names::kGetFaultRelatedTeskIdCount,
                           {arg::Num(handle), arg::Num(binNumber), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto fault = TheHost().faults.FindByBinNumber(binNumber);
    if (!fault) return kResultNotFound;
    if (count != nullptr) *count = static_cast<uint16_t>(fault->relatedTeskIds.size());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetFaultRelatedTeskId(ZModuleHandle handle, ZBinNumber binNumber,
                                           uint16_t index, TESKID* teskId) {
    int32_t forced = Enter(names::kGetFaultRelatedTeskId, {arg::Num(handle), arg::Num(binNumber),
                                                           arg::Num(index), arg::Out(teskId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto fault = TheHost().faults.FindByBinNumber(binNumber);
    if (!fault || index >= fault->relatedTeskIds.size()) return kResultNotFound;
    if (teskId != nullptr) *teskId = fault->relatedTeskIds[index];
    return kZorvSuccess;
}

}  // namespace

void AddFaultFunctions(HostFunctionList& list) {
    list.push_back({zorv::kLookupClearFaultList, AddressAs<zorv::ClearFaultListFn>(&ClearFaultList)});
    list.push_back({zorv::kLookupGetAttributeBinInfo,
                    AddressAs<zorv::GetAttributeBinInfoFn>(&GetAttributeBinInfo)});
    list.push_back({zorv::kLookupGetFaultRelatedTeskIdCount,
                    AddressAs<zorv::GetFaultRelatedTeskIdCountFn>(&GetFaultRelatedTeskIdCount)});
    list.push_back({zorv::kLookupGetFaultRelatedTeskId,
                    AddressAs<zorv::GetFaultRelatedTeskIdFn>(&GetFaultRelatedTeskId)});
}

}  // namespace hostsim
