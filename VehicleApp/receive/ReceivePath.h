// The receive path. The host calls ParseMessage on its receive thread for every J1939
// message of the plug-in's connections: it notes who answered what, releases the request
// waiting for the message, keeps freeze frames and acknowledgements for the fault
// workers, and hands the rest to the host's J1939 parser, throttled per PGN. The
// categories with a fixed role and the supported-parameters prompt live here too: both
// are read from the host's lists when a module registers.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "VehicleApp/core/ModuleRecord.h"
#include "VehicleApp/receive/Categories.h"
#include "VehicleApp/receive/FreezeFrameStore.h"
#include "host/ZorvLookup.h"

namespace marl {

class CVehicleApp;
class HostTrace;

// The per-PGN throttle of the parser, in the host's time-stamp units.
constexpr uint32_t kResponseWindow = 400;
constexpr int16_t kNoCategory = -1;

class ReceivePath {
public:
    explicit ReceivePath(CVehicleApp& app);
    ReceivePath(const ReceivePath&) = delete;
    ReceivePath& operator=(const ReceivePath&) = delete;

    uint16_t ParseMessage(int32_t sendHandle, const uint8_t* message, uint16_t length, uint32_t timeStamp);
    // The host's J1939 parser, looked up on first use and kept.
    zorv::ParseJ1939MsgFn GetParseMessageFunctionPointer();

    // Keeps the id of a category whose name marks one of the roles (trip data, PGNs to
    // probe, vehicle information...); the host's result of the id look-up, 0 otherwise.
    uint16_t ClassifyCategory(int32_t moduleHandle, int32_t categoryIndex, const char* name);
    // Classifies every category of the module's parameter file.
    void ClassifyCategories(int32_t moduleHandle);
    // The id kept for a role; kNoCategory until a category of that role is seen.
    int16_t CategoryId(CategoryRole role) const;

    // Asks, when the host's configuration says so, whether only supported parameters are
    // shown.
    void PromptShowOnlySupported(uint32_t uiHandle);

    // The fault workers' side: answers of the ECU at `address` to a DM4 or DM30 request
    // are kept, not parsed (0xFF: none expected).
    void ExpectDiagnosticAnswersFrom(uint8_t address) { expectedDmSa_.store(address); }
    // While faults are cleared, fault messages are not parsed.
    void SetClearingInProgress(bool on) { clearingInProgress_.store(on); }
    // The last freeze frame from the expected address.
    FreezeFrameMessage LastFreezeFrame() const { return freezeFrame_.Read(); }

private:
    void HandleAcknowledgement(ModuleRecord& module, const uint8_t* message, size_t length);

    CVehicleApp& app_;
    HostTrace& trace_;
    std::atomic<zorv::ParseJ1939MsgFn> parseJ1939Msg_{nullptr};
    std::array<std::atomic<int16_t>, kCategoryRoleCount> categoryIds_;
    std::atomic<bool> clearingInProgress_{false};
    std::atomic<uint8_t> expectedDmSa_{0xFF};
    FreezeFrameStore freezeFrame_;
};

}  // namespace marl
