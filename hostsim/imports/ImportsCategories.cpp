// Imports about the categories of the parameter database (vehicle 0).
#include <algorithm>
#include <memory>
#include <optional>

#include "host/ZorvApi.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/TextConvert.h"

using namespace hostsim;

namespace {

constexpr uint16_t kDatabaseVehicleIndex = 0;

std::optional<CategoryDefinition> CategoryOf(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t categoryIndex) {
    if (vehicleIndex != kDatabaseVehicleIndex) return std::nullopt;
    return TheHost().DatabaseFor(handle)->CategoryAt(categoryIndex);
}

}  // namespace

ZResult ZORV_STDCALL Zorv_GetCategoryCount(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t* count) {
    int32_t forced = Enter("Zorv_GetCategoryCount", {arg::Num(handle), arg::Num(vehicleIndex), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (count == nullptr) return kZorvSuccess;
    *count = vehicleIndex == kDatabaseVehicleIndex
                 ? static_cast<uint16_t>(TheHost().DatabaseFor(handle)->CategoryCount())
                 : 0;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetCategory(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t categoryIndex,
                                      int32_t stringType, wchar_t* wideName, uint16_t wideCapacity, char* name,
                                      uint16_t nameCapacity) {
    int32_t forced = Enter("Zorv_GetCategory", {arg::Num(handle), arg::Num(vehicleIndex),
                                                arg::Num(categoryIndex), arg::Num(stringType),
                                                arg::Out(wideName), arg::Num(wideCapacity), arg::Out(name),
                                                arg::Num(nameCapacity)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto category = CategoryOf(handle, vehicleIndex, categoryIndex);
    if (!category) return kResultNotFound;
    TheHost().hostile.Text(category->displayName, wideName, wideCapacity);
    TheHost().hostile.Text(category->name, name, nameCapacity);
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetCategoryID(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t categoryIndex,
                                        ZCategoryId* categoryId) {
    int32_t forced = Enter("Zorv_GetCategoryID", {arg::Num(handle), arg::Num(vehicleIndex),
                                                  arg::Num(categoryIndex), arg::Out(categoryId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto category = CategoryOf(handle, vehicleIndex, categoryIndex);
    if (!category) return kResultNotFound;
    if (categoryId != nullptr) *categoryId = category->id;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetCategoryType(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t categoryIndex,
                                          uint16_t* type) {
    int32_t forced = Enter("Zorv_GetCategoryType", {arg::Num(handle), arg::Num(vehicleIndex),
                                                    arg::Num(categoryIndex), arg::Out(type)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto category = CategoryOf(handle, vehicleIndex, categoryIndex);
    if (!category) return kResultNotFound;
    if (type != nullptr) *type = category->type;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetCategoryDPCount(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t categoryIndex,
                                             uint16_t* count) {
    int32_t forced = Enter("Zorv_GetCategoryDPCount", {arg::Num(handle), arg::Num(vehicleIndex),
                                                       arg::Num(categoryIndex), arg::Out(count)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto category = CategoryOf(handle, vehicleIndex, categoryIndex);
    if (!category) return kResultNotFound;
    if (count != nullptr) *count = static_cast<uint16_t>(category->teskIds.size());
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetCategoryDPID(ZModuleHandle handle, uint16_t vehicleIndex, uint16_t categoryIndex,
                                          uint16_t dpIndex, TESKID* teskId) {
    int32_t forced = Enter("Zorv_GetCategoryDPID", {arg::Num(handle), arg::Num(vehicleIndex),
                                                    arg::Num(categoryIndex), arg::Num(dpIndex),
                                                    arg::Out(teskId)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto category = CategoryOf(handle, vehicleIndex, categoryIndex);
    if (!category || dpIndex >= category->teskIds.size()) return kResultNotFound;
    if (teskId != nullptr) *teskId = category->teskIds[dpIndex];
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_GetCategoryDPs(ZModuleHandle handle, uint16_t vehicleIndex, ZCategoryId categoryId,
                                         TESKID* teskIds, uint16_t* count, int16_t* categoryIndex) {
    int32_t forced = Enter("Zorv_GetCategoryDPs", {arg::Num(handle), arg::Num(vehicleIndex),
                                                   arg::Num(categoryId), arg::Out(teskIds), arg::InOut(count),
                                                   arg::Out(categoryIndex)});
    // Some callers use the count without testing the result: a failure reports none.
    std::shared_ptr<ParameterDatabase> database = TheHost().DatabaseFor(handle);
    std::optional<size_t> index =
        vehicleIndex == kDatabaseVehicleIndex ? database->CategoryIndexOf(categoryId) : std::nullopt;
    if (forced != 0 || !index) {
        if (count != nullptr) *count = 0;
        return forced != 0 ? static_cast<ZResult>(forced) : kResultNotFound;
    }
    auto category = database->CategoryAt(*index);
    if (!category) {
        if (count != nullptr) *count = 0;
        return kResultNotFound;
    }
    if (count != nullptr) {
        size_t room = teskIds != nullptr ? *count : 0;
        size_t written = std::min(room, category->teskIds.size());
        std::copy(category->teskIds.begin(), category->teskIds.begin() + static_cast<std::ptrdiff_t>(written),
                  teskIds);
        *count = TheHost().hostile.Count<uint16_t>(written, room);
    }
    if (categoryIndex != nullptr) *categoryIndex = static_cast<int16_t>(*index);
    return kZorvSuccess;
}
