#include "hostsim/imports/J1708App.h"

#include <cwchar>
#include <string>

#include "host/ZorvLookup.h"
#include "hostsim/Host.h"
#include "hostsim/TextConvert.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/imports/HostFunctions.h"

namespace hostsim {
namespace {

constexpr const char* kJ1708Command = "J1708App_VehicleAppCommand";
constexpr int16_t kNoValue = -1;

// The text up to its given length or its terminator, whichever comes first: a length
// that is not positive reads nothing, so the entry never reads past the caller's text.
std::string TextOf(const wchar_t* text, const int16_t* length) {
    if (text == nullptr || length == nullptr || *length <= 0) return {};
    size_t size = 0;
    while (size < static_cast<size_t>(*length) && text[size] != L'\0') ++size;
    return WideToUtf8(std::wstring(text, size));
}

ZResult ZORV_STDCALL VehicleAppCommand(uint32_t handle, int16_t code, wchar_t* text, int16_t* length, uint8_t* data,
                                       int16_t* extra, uint32_t* flag) {
    int32_t forced = Enter(kJ1708Command, {arg::Num(handle), arg::Num(code), arg::Text(text), arg::InOut(length),
                                           arg::Ptr(data), arg::InOut(extra), arg::Out(flag)});
    J1708Command command;
    command.handle = handle;
    command.code = code;
    command.text = TextOf(text, length);
    command.textLength = length != nullptr ? *length : kNoValue;
    command.dataCount = extra != nullptr ? *extra : kNoValue;
    if (data != nullptr && extra != nullptr && *extra > 0) command.data.assign(data, data + *extra);
    TheHost().j1708.Commands().Add(std::move(command));
    return static_cast<ZResult>(forced);
}

}  // namespace

void J1708App::SetPresent(bool present, LookupTable& lookup) {
    present_ = present;
    if (present) {
        lookup.Register(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App,
                        AddressAs<zorv::VehicleAppCommandFn>(&VehicleAppCommand));
    } else {
        lookup.Remove(zorv::kEntryVehicleAppCommand, zorv::kModuleIdJ1708App);
    }
}

void J1708App::Reset() {
    present_ = false;
    commands_.Clear();
}

}  // namespace hostsim
