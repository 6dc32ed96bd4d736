#include "VehicleApp/boundary/CommandHandler.h"

#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/receive/Categories.h"
#include "VehicleApp/text/WideText.h"

namespace marl {
namespace {

void SetFlag(uint32_t* flag, uint32_t value) {
    if (flag != nullptr) *flag = value;
}

void WriteText(const std::wstring& value, wchar_t* text, int16_t* length, int16_t reportedLength) {
    text::CopyToBuffer(value, text, text::CapacityOf(length));
    if (length != nullptr) *length = reportedLength;
}

void ConnectionText(CVehicleApp* app, uint32_t moduleHandle, wchar_t* text, int16_t* length) {
    std::wstring value;
    if (app != nullptr) {
        value = text::Decimal(app->Modules().SourceAddressOf(static_cast<int32_t>(moduleHandle)));
    }
    value += kFieldSeparator;
    value += kConnectionProtocolText;
    const size_t written = text::CopyToBuffer(value, text, text::CapacityOf(length));
    if (length != nullptr) *length = static_cast<int16_t>(written);
}

}  // namespace

uint16_t HandleVehicleAppCommand(CVehicleApp* app, uint32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                 uint8_t* data, int16_t* extra, uint32_t* flag) {
    const auto handle = static_cast<int32_t>(moduleHandle);
    switch (code) {
        case zorv::kCmdCapability1001:
        case zorv::kCmdCapability1021:
            SetFlag(flag, 0);
            return 0;
        case zorv::kCmdCapability1002:
        case zorv::kCmdCapability1003:
        case zorv::kCmdCapability1004:
        case zorv::kCmdCapability1005:
        case zorv::kCmdCapability1014:
        case zorv::kCmdCapability1015:
            SetFlag(flag, 1);
            return 0;
        case zorv::kCmdProtocolId:
            WriteText(text::Decimal(kProtocolIdValue), text, length, 1);
            return 0;
        case zorv::kCmdListFaultGroups:
            if (app != nullptr) app->FaultCodes().ListFaultGroupIds(handle, text, length);
            return 0;
        case zorv::kCmdRegistrationComplete:
            if (app != nullptr) app->Subscribed().RegistrationIsComplete(handle);
            return 0;
        case zorv::kCmdFaultInfo:
        case zorv::kCmdFaultInfoExtended:
            return app != nullptr
                       ? app->FaultCodes().HandleFaultInfoRequest(handle, code, text, length, data, extra, flag)
                       : 0;
        case zorv::kCmdConnectionText:
            ConnectionText(app, moduleHandle, text, length);
            return 0;
        case zorv::kCmdTripData: {
            uint32_t value = 0;
            if (app != nullptr && app->Modules().SourceAddressOf(handle) <= kTripDataMaxAddress) {
                value =
                    app->Vehicle().UpdateCategoryData(handle, app->Receiver().CategoryId(kCategoryTripData)) ? 1 : 0;
            }
            SetFlag(flag, value);
            return 0;
        }
        case zorv::kCmdHealthReport:
            SetFlag(flag, app != nullptr && app->Vehicle().CallGenerateHealthReport(handle, text, length) == 0 ? 1 : 0);
            return 0;
        case zorv::kCmdGetVin:
            return app != nullptr ? app->Vehicle().GetVin(handle, text, length) : 0;
        case zorv::kCmdUnsupported3003:
            return kResultCommand3003;
        case zorv::kCmdCapability3004:
            SetFlag(flag, kCapability3004Value);
            return 0;
        default:
            return 0;
    }
}

}  // namespace marl
