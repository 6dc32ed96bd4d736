// The host's bus functions reached through the look-up: device and adapter, address
// claim, NAMEs, sending and the host's J1939 parser.
#include <vector>

#include "host/ZorvLookup.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/imports/HostFunctionNames.h"
#include "hostsim/imports/HostFunctions.h"
#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Name.h"
#include "hostsim/bus/J1939Parser.h"

namespace hostsim {
namespace {

// The NAME the host's adapter claims the tool's address with: an off-board
// diagnostic-service tool that can take any address.
constexpr uint8_t kToolFunction = 129;
constexpr uint32_t kToolIdentityNumber = 0x0003EA;
constexpr uint16_t kToolManufacturerCode = 0;

J1939Message ToolAddressClaim(uint8_t address) {
    J1939NameFields name;
    name.identityNumber = kToolIdentityNumber;
    name.manufacturerCode = kToolManufacturerCode;
    name.function = kToolFunction;
    name.arbitraryAddressCapable = true;
    J1939Message claim;
    claim.pgn = j1939::kPgnAddressClaimed;
    claim.source = address;
    claim.destination = j1939::kGlobalAddress;
    claim.data.resize(j1939::kNameBytes);
    NameToBytes(EncodeName(name), claim.data.data());
    return claim;
}

ZResult ZORV_STDCALL GetDeviceId(const wchar_t* protocol, uint16_t* deviceId) {
    int32_t forced = Enter(names::kGetDeviceId, {arg::Text(protocol), arg::Out(deviceId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (deviceId != nullptr) *deviceId = TheHost().modules.DeviceId();
    return kZorvSuccess;
}

ZResult ZORV_STDCALL OverrideRp1210Impl(ZModuleHandle handle) {
    return static_cast<ZResult>(Enter(names::kOverrideRp1210Impl, {arg::Num(handle)}));
}

ZResult ZORV_STDCALL GetDeviceProductId(int16_t* productId) {
    int32_t forced = Enter(names::kGetDeviceProductId, {arg::Out(productId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (productId != nullptr) *productId = TheHost().modules.ProductId();
    return kZorvSuccess;
}

ZResult ZORV_STDCALL ClaimBusAddress(ZModuleHandle handle, uint8_t address) {
    int32_t forced = Enter(names::kClaimBusAddress, {arg::Num(handle), arg::Num(address)});
    if (forced != 0) return static_cast<ZResult>(forced);
    Host& host = TheHost();
    // Without a connection there is no bus to claim on; the host does not complain.
    if (!host.connections.Claim(handle, address)) return kZorvSuccess;
    host.network.Transmit(*host.connections.ChannelOf(handle), ToolAddressClaim(address));
    return kZorvSuccess;
}

ZResult ZORV_STDCALL UnclaimBusAddress(ZModuleHandle handle) {
    int32_t forced = Enter(names::kUnclaimBusAddress, {arg::Num(handle)});
    if (forced != 0) return static_cast<ZResult>(forced);
    TheHost().connections.Unclaim(handle);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL GetJ1939Name(uint8_t address, J1939DecodedName* name) {
    int32_t forced = Enter(names::kGetJ1939Name, {arg::Num(address), arg::Out(name)});
    if (forced != 0) return static_cast<ZResult>(forced);
    J1939DecodedName known{};
    if (!TheHost().bus.Name(address, known)) return kResultNotFound;
    if (name != nullptr) *name = known;
    return kZorvSuccess;
}

ZBool32 ZORV_STDCALL CheckAssignable(uint32_t first, uint32_t second) {
    int32_t forced = Enter(names::kCheckAssignable, {arg::Num(first), arg::Num(second)});
    if (forced != 0) return forced;
    return TheHost().bus.Assignable(first, second) ? 1 : 0;
}

ZResult ZORV_STDCALL SendJ1939Msg(ZModuleHandle handle, const uint8_t* message, uint16_t length,
                                  int32_t option1, int32_t option2, int32_t option3) {
    int32_t forced = Enter(names::kSendJ1939Msg, {arg::Num(handle), arg::Bytes(message, length),
                                                  arg::Num(length), arg::Num(option1),
                                                  arg::Num(option2), arg::Num(option3)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (message == nullptr) return kResultNotFound;
    auto parsed = FromHostLayout(message, length);
    if (!parsed) return kResultBadArgument;
    Host& host = TheHost();
    // The rule and the watchers run without any host lock held: they may call back into
    // the host, and a watcher's answer must come after the request it answers.
    SendResultRule rule = host.bus.SendRule();
    ZResult result = rule ? rule(handle, std::vector<uint8_t>(message, message + length)) : kZorvSuccess;
    auto channel = host.connections.ChannelOf(handle);
    TrafficRecord sent = RecordOf(host.clock.Now(), channel.value_or(kNoChannel), *parsed);
    sent.fromTool = true;
    sent.handle = handle;
    sent.result = result;
    host.watchers.Message(sent);
    if (result != kZorvSuccess) return result;
    // A handle that never connected sends nowhere; only the watchers see its messages.
    if (channel) host.network.Transmit(*channel, *parsed);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL ParseJ1939Msg(ZModuleHandle handle, const uint8_t* message, uint16_t length,
                                   uint32_t timeStamp) {
    int32_t forced = Enter(names::kParseJ1939Msg, {arg::Num(handle), arg::Bytes(message, length), arg::Num(length),
                                                   arg::Num(timeStamp)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto parsed = FromHostLayout(message, length);
    if (!parsed) return kResultBadArgument;
    Host& host = TheHost();
    auto database = host.DatabaseFor(handle);
    if (!host.decodedValues.Active()) {
        ParseJ1939(*database, host.bus, host.receivedFaults, handle, *parsed);
        return kZorvSuccess;
    }
    std::vector<TESKID> decoded;
    ParseJ1939(*database, host.bus, host.receivedFaults, handle, *parsed, &decoded);
    for (TESKID teskId : decoded) host.decodedValues.Notify(handle, timeStamp, database->State(teskId));
    return kZorvSuccess;
}

}  // namespace

void AddBusFunctions(HostFunctionList& list) {
    list.push_back({zorv::kLookupGetDeviceId, AddressAs<zorv::GetDeviceIdFn>(&GetDeviceId)});
    list.push_back({zorv::kLookupOverrideRp1210Impl, AddressAs<zorv::OverrideRp1210ImplFn>(&OverrideRp1210Impl)});
    list.push_back({zorv::kLookupGetDeviceProductId, AddressAs<zorv::GetDeviceProductIdFn>(&GetDeviceProductId)});
    list.push_back({zorv::kLookupClaimBusAddress, AddressAs<zorv::ClaimBusAddressFn>(&ClaimBusAddress)});
    list.push_back({zorv::kLookupUnclaimBusAddress, AddressAs<zorv::UnclaimBusAddressFn>(&UnclaimBusAddress)});
    list.push_back({zorv::kLookupGetJ1939Name, AddressAs<zorv::GetJ1939NameFn>(&GetJ1939Name)});
    list.push_back({zorv::kLookupCheckAssignable, AddressAs<zorv::CheckAssignableFn>(&CheckAssignable)});
    list.push_back({zorv::kLookupSendJ1939Msg, AddressAs<zorv::SendJ1939MsgFn>(&SendJ1939Msg)});
    list.push_back({zorv::kLookupParseJ1939Msg, AddressAs<zorv::ParseJ1939MsgFn>(&ParseJ1939Msg)});
}

}  // namespace hostsim
