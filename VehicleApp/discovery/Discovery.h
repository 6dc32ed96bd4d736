// Which parameter groups each ECU really sends, and which data points are shown for it.
// Discovery fills the module's PgnSupportMap by asking the ECU for the PGNs behind its
// data points; the visibility pass then shows what the ECU answered.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "VehicleApp/core/ModuleRecord.h"

namespace marl {

class CVehicleApp;
class HostTrace;

class Discovery {
public:
    explicit Discovery(CVehicleApp& app);
    Discovery(const Discovery&) = delete;
    Discovery& operator=(const Discovery&) = delete;

    // Records the PGN behind one data point in the module's table (unless the data point
    // is a guided test).
    void BuildSupportedPgnListByTeskid(ModuleRecord& module, uint32_t teskId);
    // Fills the module's table from its "RequestPGNs" data points (or, on adapter 0x47,
    // from the host's discovery identifiers and every data point).
    void BuildSupportedPgnList(ModuleRecord& module);
    // Requests, `passes` times, every PGN of the table that has not been answered.
    void RequestSupportedPgns(ModuleRecord& module, uint8_t destination, int passes);
    // The whole discovery for one module; 3 when there is none.
    uint16_t BuildAndRequestSupportedPgns(ModuleRecord* module);
    // Probes each not yet answered PGN behind the data points once at the module's
    // address and, still unanswered, globally; then records their PGNs.
    void RequestPgnsForTeskIds(int32_t moduleHandle, const std::vector<uint32_t>& teskIds);
    std::vector<uint32_t> TeskIdsForUdi(int32_t moduleHandle, uint32_t udi);
    void RequestCategoryPgns(int32_t moduleHandle, int16_t categoryId);
    void GetSupportedVehicleInfoPgns(ModuleRecord& module, std::vector<uint32_t>& pgns);
    uint16_t BuildVehicleInfoPgnList(ModuleRecord& module);

    // Shows only the data points whose PGN the module answered, hides software
    // identification fields beyond the count the ECU reports and values that read as
    // not available; with the show-only-supported option off nothing changes. 11 when
    // the module never answered positively (then every data point is hidden), else 0.
    uint16_t SetVisibilityForSupportedPgns(ModuleRecord& module);
    void SetAllDataPointsVisible(ModuleRecord& module, bool defaultVisible);
    // The user's choice at registration; on unless the host's configuration asks.
    bool ShowOnlySupported() const { return showOnlySupported_.load(); }
    void SetShowOnlySupported(bool on) { showOnlySupported_.store(on); }

private:
    CVehicleApp& app_;
    HostTrace& trace_;
    std::atomic<bool> showOnlySupported_{true};
};

}  // namespace marl
