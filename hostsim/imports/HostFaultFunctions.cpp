// The host's fault functions reached through the look-up: the data manager's fault
// list, attribute records and the data points related to a fault.
#include <cstring>
#include <optional>
#include <vector>

#include "host/ZorvLookup.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/database/FaultTexts.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/imports/HostFunctions.h"

namespace hostsim {
namespace {

// The data points related to a fault: those a described fault lists, else the module's
// data points of the SPNs the file relates to the fault's SPN (by default the SPN itself).
std::optional<std::vector<TESKID>> RelatedTeskIds(ZModuleHandle handle, ZBinNumber binNumber) {
    Host& host = TheHost();
    FaultDatabase& faults = host.FaultCodes();
    if (faults.Described()) {
        auto fault = faults.FindDescribed(binNumber);
        if (!fault) return std::nullopt;
        return fault->relatedTeskIds;
    }
    if (binNumber != (binNumber & kBinNumberSpnMask)) return std::nullopt;
    return TeskIdsOfSpns(*host.DatabaseFor(handle), faults.RelatedSpns(SpnOfBinNumber(binNumber)));
}

// The data manager's list of the module's received faults: the next DM1 and DM2 fill it again.
ZResult ZORV_STDCALL ClearFaultList(ZModuleHandle handle) {
    int32_t forced = Enter(names::kClearFaultList, {arg::Num(handle)});
    if (forced != 0) return static_cast<ZResult>(forced);
    TheHost().receivedFaults.Forget(handle);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetAttributeBinInfo(ZModuleHandle handle, ZFaultGroupId groupId,
                                         ZBinNumber binNumber, uint16_t attributeIndex,
                                         AttributeBinInfo* record) {
    int32_t forced = Enter(names::kGetAttributeBinInfo, {arg::Num(handle), arg::Num(groupId),
                                                         arg::Num(binNumber), arg::Num(attributeIndex),
                                                         arg::Out(record)});
    if (forced != 0) return static_cast<ZResult>(forced);
    bool received = ReceivedSpn(TheHost().receivedFaults.Of(handle), SpnOfBinNumber(binNumber));
    auto fault = TheHost().FaultCodes().Find(groupId, binNumber, received);
    if (!fault || attributeIndex >= fault->definition.attributes.size()) return kResultNotFound;
    if (record != nullptr) {
        std::memset(record, 0, sizeof(*record));
        record->attributeId = fault->definition.attributes[attributeIndex].attributeId;
    }
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetFaultRelatedTeskIdCount(ZModuleHandle handle, ZBinNumber binNumber,
                                                uint16_t* count) {
    int32_t forced = Enter(names::kGetFaultRelatedTeskIdCount,
                           {arg::Num(handle), arg::Num(binNumber), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto related = RelatedTeskIds(handle, binNumber);
    if (!related) return kResultNotFound;
    if (count != nullptr) *count = static_cast<uint16_t>(related->size());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetFaultRelatedTeskId(ZModuleHandle handle, ZBinNumber binNumber,
                                           uint16_t index, TESKID* teskId) {
    int32_t forced = Enter(names::kGetFaultRelatedTeskId, {arg::Num(handle), arg::Num(binNumber),
                                                           arg::Num(index), arg::Out(teskId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto related = RelatedTeskIds(handle, binNumber);
    if (!related || index >= related->size()) return kResultNotFound;
    if (teskId != nullptr) *teskId = (*related)[index];
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
