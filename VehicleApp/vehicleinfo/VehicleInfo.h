// What the host shows about the vehicle beyond live values: the health report, the
// diagnostic PGNs behind it, the trip data, the fuel system's fixed texts and the VIN.
#pragma once

#include <cstdint>

#include "VehicleApp/core/ModuleRecord.h"

namespace marl {

class CVehicleApp;
class HostTrace;

class VehicleInfo {
public:
    explicit VehicleInfo(CVehicleApp& app);
    VehicleInfo(const VehicleInfo&) = delete;
    VehicleInfo& operator=(const VehicleInfo&) = delete;

    // Requests the diagnostic PGNs (DM2, DM6, DM12, DM23, DM27, DM28, 40704) that the
    // module has not refused or ignored; always 0.
    uint16_t RequestDiagnosticPgns(ModuleRecord& module);
    uint16_t RequestDiagnosticPgnsForHandle(int32_t moduleHandle);
    // Command 1038: waits for discovery, requests what the report needs and lets the
    // host's generator write it; 0 for a non-empty report.
    uint16_t CallGenerateHealthReport(int32_t moduleHandle, wchar_t* text, int16_t* length);
    uint16_t GenerateVehicleHealthReport(int32_t moduleHandle, wchar_t* text, int16_t* length);
    // Command 1016: requests the supported, periodically requested PGNs behind a
    // category's data points from the engine; false only when no module has the handle.
    bool UpdateCategoryData(int32_t moduleHandle, int16_t categoryId);
    // The fixed make and model texts of the fuel system at address 18.
    void SetVehicleInfoStaticDataForFuelSystem(ModuleRecord& module);
    // Command 3000: the VIN as the host's VIN data point shows it.
    uint16_t GetVin(int32_t moduleHandle, wchar_t* text, int16_t* length);

private:
    CVehicleApp& app_;
    HostTrace& trace_;
};

}  // namespace marl
