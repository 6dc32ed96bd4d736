// The component of the parameter file is chosen by what the ECU is, not where it sits:
// the plug-in asks every ECU for its address claim, reads the J1939 NAME the host
// decoded for the ECU's address, and takes the address the NAME's function normally
// claims. ECUs at fixed addresses are named after the address itself.
#include <cstring>
#include <string>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ComponentAddress.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// The host's way of asking whether an address can be assigned: the address and this.
constexpr uint32_t kAssignableAddressQuery = 1;
// The NAME request: every ECU answers with its Address Claimed message.
constexpr uint16_t kNameRequestTimeoutMs = 1250;
constexpr uint8_t kNameRequestAttempts = 3;

static_assert(sizeof(J1939DecodedName) == kDecodedNameSize, "the record keeps the host's decoded NAME as it is");

void CopyNarrow(const std::string& text, char* buffer, size_t capacity) {
    if (buffer == nullptr || capacity == 0) return;
    std::memset(buffer, 0, capacity);
    text.copy(buffer, text.size() < capacity - 1 ? text.size() : capacity - 1);
}

}  // namespace

void Registration::GetComponentNameByJ1939Name(ModuleRecord& record, char* componentName, size_t componentCapacity,
                                               wchar_t* fileName, size_t fileCapacity) {
    auto getName = LookUpOrTrace<zorv::GetJ1939NameFn>(
        trace_, zorv::kLookupGetJ1939Name,
        L"%s Zorv_GetFunctionAddress failed to get the address of GetJ1939NAMEFnPtr, Returned NULL",
        L"CVehicleApp::GetComponentNameByJ1939Name (Line 458)");
    auto checkAssignable = LookUpOrTrace<zorv::CheckAssignableFn>(
        trace_, zorv::kLookupCheckAssignable,
        L"%s Zorv_GetFunctionAddress failed to get the address of CheckAssignableFnPtr, Returned NULL",
        L"CVehicleApp::GetComponentNameByJ1939Name (Line 465)");

    const uint8_t ecuAddress = record.EcuAddress();
    uint16_t result = results::kSuccess;
    uint8_t componentAddress = ecuAddress;

    // An ECU at an address that cannot be assigned sits where its function belongs; only
    // a self-configurable one has to be identified by its NAME.
    if (checkAssignable != nullptr && checkAssignable(ecuAddress, kAssignableAddressQuery) != 0) {
        const int32_t sendHandle = record.SendHandle();
        uint16_t requestResult = results::kSuccess;
        {
            const NameRequestScope pending(*this);
            Zorv_EnableParsing(sendHandle, 1);
            requestResult = app_.Sender().RequestPgn(sendHandle, j1939::kPgnAddressClaimed, kGlobalAddress, false,
                                                     kNameRequestTimeoutMs, kNameRequestAttempts);
            Zorv_EnableParsing(sendHandle, 0);
        }

        bool nameRead = false;
        J1939DecodedName name{};
        std::memcpy(&name, record.DecodedName().data(), sizeof(name));
        if (getName != nullptr && requestResult == results::kSuccess) {
            result = getName(ecuAddress, &name);
            record.SetDecodedName(reinterpret_cast<const uint8_t*>(&name));
            nameRead = result == results::kSuccess;
        }
        if (nameRead && checkAssignable(name.FirstWord(), name.lastWord) != 0) {
            componentAddress = ComponentAddressForFunction(name.function);
        }
    }

    componentAddress = FoldComponentAddress(componentAddress);
    record.SetComponentSa(componentAddress);

    const std::string component = ComponentName(componentAddress);
    CopyNarrow(component, componentName, componentCapacity);
    if (fileName != nullptr && fileCapacity != 0) {
        std::memset(fileName, 0, fileCapacity * sizeof(wchar_t));
        text::CopyToBuffer(kDefaultParameterFile, fileName, fileCapacity);
    }

    const std::string make = record.Make();
    const std::string model = record.Model();
    trace_.Write(kTraceFailure, result, L"%s MAKE %S MODEL %S on %02X -- COMPONENT %S",
                 L"CVehicleApp::GetComponentNameByJ1939Name (Line 541)", make.c_str(), model.c_str(),
                 static_cast<int>(componentAddress), component.c_str());
}

}  // namespace marl
