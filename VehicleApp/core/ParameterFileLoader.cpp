// Loads the parameter file that describes the module's ECU, restricted to the ECU's
// component. A file that loads but does not carry the component is of no use: it is
// unloaded again, and the component every file carries (that of address 256) is taken.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ComponentAddress.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr const wchar_t* kDefaultVehicleName = L"MARL_J1939";
constexpr const char* kMakeDtna = "DTNA";
constexpr const char* kDtnaComponent = "SA_DTNA";
constexpr const char* kMakeJcb = "JCB";
constexpr const wchar_t* kJcbParameterFile = L"JCB.BIN";
constexpr const wchar_t* kJcbVehicleName = L"JCB.EN";
constexpr const char* kPcComponent = "PC_COMPONENT";
constexpr uint32_t kFallbackComponentAddress = 256;

constexpr size_t kComponentNameCapacity = 256;
constexpr size_t kFileNameCapacity = 256;
// The host's component names are read into buffers of this many characters.
constexpr uint16_t kHostNameCapacity = 255;

bool EqualsIgnoringAsciiCase(const std::string& text, const char* word) {
    const size_t n = std::strlen(word);
    if (text.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != std::toupper(static_cast<unsigned char>(word[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

uint16_t Registration::LoadParameterFile(int32_t moduleHandle, const wchar_t* vehicleName, const char* componentName,
                                         const wchar_t* fileName) {
    std::vector<const char*> components{componentName};
    // These adapters also serve the host's own PC-side parameters.
    if (IsDeferredDiscoveryAdapter()) components.push_back(kPcComponent);

    const uint16_t result = Zorv_LoadBinFileWithSpecifiedComponents(
        moduleHandle, fileName, vehicleName, components.data(), static_cast<int32_t>(components.size()));
    if (result != results::kSuccess) return result;

    uint16_t vehicleCount = 0;
    Zorv_GetVehicleCount(moduleHandle, &vehicleCount);
    for (uint16_t vehicle = 0; vehicle < vehicleCount; ++vehicle) {
        uint16_t componentCount = 0;
        Zorv_GetComponentCount(moduleHandle, vehicle, &componentCount);
        for (uint16_t component = 0; component < componentCount; ++component) {
            wchar_t wideName[kHostNameCapacity] = {};
            char name[kHostNameCapacity] = {};
            Zorv_GetComponent(moduleHandle, vehicle, component, kZorvStringTypeDisplay, wideName, kHostNameCapacity,
                              name, kHostNameCapacity);
            name[kHostNameCapacity - 1] = '\0';
            if (std::strcmp(name, componentName) == 0) return results::kSuccess;
        }
    }
    Zorv_UnLoadBinFile(moduleHandle);
    return results::kMissingFunctionOrRecord;
}

uint16_t Registration::GetJ1939NameAndLoadBinFile(ModuleRecord& record) {
    if (!app_.InPlayback() && record.EcuAddress() == kGlobalAddress) {
        trace_.Write(kTraceFailure, 0, L"%s", L"CVehicleApp::GetJ1939NameAndLoadBinFile (Line 733)");
        return results::kMissingFunctionOrRecord;
    }

    std::wstring vehicleName = kDefaultVehicleName;
    std::wstring fileName = kDefaultParameterFile;
    std::string componentName;

    const std::string make = record.Make();
    if (EqualsIgnoringAsciiCase(make, kMakeDtna)) {
        componentName = kDtnaComponent;
    } else if (EqualsIgnoringAsciiCase(make, kMakeJcb)) {
        fileName = kJcbParameterFile;
        componentName = ComponentName(record.EcuAddress());
        vehicleName = kJcbVehicleName;
    } else {
        char component[kComponentNameCapacity] = {};
        wchar_t file[kFileNameCapacity] = {};
        GetComponentNameByJ1939Name(record, component, kComponentNameCapacity, file, kFileNameCapacity);
        componentName = component;
        fileName = file;
    }

    uint16_t result = LoadParameterFile(record.Handle(), vehicleName.c_str(), componentName.c_str(), fileName.c_str());
    if (result != results::kSuccess) {
        const std::string fallback = ComponentName(kFallbackComponentAddress);
        result = LoadParameterFile(record.Handle(), vehicleName.c_str(), fallback.c_str(), kDefaultParameterFile);
        if (result != results::kSuccess) {
            trace_.Write(kTraceFailure, result,
                         L"%s :: Failed to load the bin file with the 256 source address component.",
                         L"CVehicleApp::GetJ1939NameAndLoadBinFile (Line 800)");
        }
    }
    return result;
}

}  // namespace marl
