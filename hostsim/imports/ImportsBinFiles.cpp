// Imports about parameter files, their vehicles and components. A loaded file shows
// one vehicle (index 0).
#include <string>
#include <vector>

#include "host/ZorvApi.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/database/ParameterFileLoader.h"
#include "hostsim/TextConvert.h"

using namespace hostsim;

namespace {

constexpr uint16_t kLoadedVehicleIndex = 0;
constexpr uint16_t kLoadedVehicleCount = 1;

std::vector<std::string> ComponentList(const char* const* components, int32_t count) {
    std::vector<std::string> list;
    for (int32_t i = 0; components != nullptr && i < count; ++i) {
        list.emplace_back(components[i] != nullptr ? components[i] : "");
    }
    return list;
}

std::string ComponentListText(const std::vector<std::string>& list) {
    std::string text = "[";
    for (size_t i = 0; i < list.size(); ++i) {
        if (i != 0) text += ", ";
        text += arg::Text(list[i].c_str());
    }
    return text + "]";
}

}  // namespace

ZResult ZORV_STDCALL Zorv_LoadBinFileWithSpecifiedComponents(ZModuleHandle handle, const wchar_t* fileName,
                                                             const wchar_t* vehicleName,
                                                             const char* const* components,
                                                             int32_t componentCount) {
    std::vector<std::string> list = ComponentList(components, componentCount);
    int32_t forced = Enter("Zorv_LoadBinFileWithSpecifiedComponents",
                           {arg::Num(handle), arg::Text(fileName), arg::Text(vehicleName),
                            ComponentListText(list), arg::Num(componentCount)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (fileName == nullptr) return kResultNotFound;
    return LoadParameterFile(TheHost(), handle, fileName, vehicleName != nullptr ? vehicleName : L"", list);
}

ZResult ZORV_STDCALL Zorv_UnLoadBinFile(ZModuleHandle handle) {
    int32_t forced = Enter("Zorv_UnLoadBinFile", {arg::Num(handle)});
    if (forced != 0) return static_cast<ZResult>(forced);
    UnloadParameterFile(TheHost(), handle);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetVehicleCount(ZModuleHandle handle, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetVehicleCount", {arg::Num(handle), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count != nullptr) *count = TheHost().binFiles.IsLoaded(handle) ? kLoadedVehicleCount : 0;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetComponentCount(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetComponentCount", {arg::Num(handle), arg::Num(vehicleIndex), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (vehicleIndex != kLoadedVehicleIndex || !TheHost().binFiles.IsLoaded(handle)) return kResultNotFound;
    if (count != nullptr) *count = static_cast<uint16_t>(TheHost().binFiles.Loaded(handle).size());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetComponent(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t componentIndex,
                                       int32_t stringType, wchar_t* wideName, uint16_t wideCapacity, char* name,
                                       uint16_t nameCapacity) {
    int32_t forced = Enter("Zorv_GetComponent", {arg::Num(handle), arg::Num(vehicleIndex),
                                                 arg::Num(componentIndex), arg::Num(stringType),
                                                 arg::Out(wideName), arg::Num(wideCapacity), arg::Out(name),
                                                 arg::Num(nameCapacity)});
    if (forced != 0) return static_cast<ZResult>(forced);
    std::vector<std::string> loaded = TheHost().binFiles.Loaded(handle);
    if (vehicleIndex != kLoadedVehicleIndex || componentIndex >= loaded.size()) return kResultNotFound;
    const std::string& component = loaded[componentIndex];
    TheHost().hostile.Text(Latin1ToWide(component.c_str(), component.size()), wideName, wideCapacity);
    TheHost().hostile.Text(component, name, nameCapacity);
    return kZorvSuccess;
}
