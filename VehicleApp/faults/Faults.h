// Fault codes: the fault groups the host lists, the more-info text and freeze frames of
// one fault, and the clearing of faults (DM3, DM11 and the J1708 application).
#pragma once

#include <atomic>
#include <cstdint>

#include "VehicleApp/faults/FaultRequest.h"
#include "host/ZorvTypes.h"

namespace marl {

class CVehicleApp;
class HostTrace;

// Time-outs of the clearing requests and of the freeze-frame request.
constexpr uint16_t kClearRequestTimeoutMs = 1250;
constexpr uint8_t kClearRequestAttempts = 3;
constexpr uint32_t kClearAcknowledgementWaitMs = 2000;
constexpr int kClearPassesAtEcu = 2;
constexpr uint16_t kFreezeFrameTimeoutMs = 2000;
constexpr uint8_t kFreezeFrameAttempts = 3;

class Faults {
public:
    explicit Faults(CVehicleApp& app);
    Faults(const Faults&) = delete;
    Faults& operator=(const Faults&) = delete;

    // Command 1007: "§" and the ID of each fault group, within the host's buffer.
    void ListFaultGroupIds(int32_t moduleHandle, wchar_t* text, int16_t* length);
    // Commands 1009 (more information, with the fault-information window) and 1036
    // (whether a freeze frame exists for the fault, and its category).
    uint16_t HandleFaultInfoRequest(int32_t moduleHandle, int16_t code, wchar_t* text, int16_t* length,
                                    uint8_t* category, int16_t* categoryCount, uint32_t* available);
    // Caption and body of the fault-information window, each within its capacity.
    uint16_t BuildMoreInfoDataString(int32_t moduleHandle, wchar_t* caption, uint16_t captionCapacity, wchar_t* body,
                                     uint16_t bodyCapacity, uint32_t groupId, int64_t binNumber, int32_t fmi);
    // The 8-bit name of a category given by ID.
    uint16_t GetFreezeFrameCategoryName(int32_t moduleHandle, ZCategoryId categoryId, char* name, uint16_t capacity);
    // Searches the last stored DM4 for the fault and hands its frame to the host's parser.
    bool ParseFreezeFrameForFault(int32_t moduleHandle, uint32_t spn, uint8_t fmi);

    // Entry 0x1025F: DM3 and DM11 to the ECU and to all, the J1708 application, and the
    // host's list. 5 for a handle out of range, else 0.
    uint16_t ClearFaultCodes(int32_t moduleHandle);
    void SendClearFaultsToJ1708(int32_t moduleHandle);
    // Has the host's data manager forget the module's faults (also on unregistration).
    uint16_t ClearDataManagerFaultCodeList(int32_t moduleHandle);

    // The fault of the last more-info request, and whether its freeze frame was found.
    uint32_t InspectedBinNumber() const { return inspectedBinNumber_.load(); }
    uint8_t InspectedFmi() const { return inspectedFmi_.load(); }
    bool FreezeFrameFound() const { return freezeFrameFound_.load(); }

private:
    uint16_t ShowFaultInformation(int32_t moduleHandle, const FaultRequest& request, wchar_t* text, int16_t* length);
    uint16_t AnswerFreezeFrameQuery(int32_t moduleHandle, const FaultRequest& request, uint8_t* category,
                                    int16_t* categoryCount, uint32_t* available);
    // DM3 then DM11 to `address`; true when both were answered.
    bool RequestClearing(int32_t sendHandle, uint8_t address);

    CVehicleApp& app_;
    HostTrace& trace_;
    std::atomic<uint32_t> inspectedBinNumber_{0};
    std::atomic<uint8_t> inspectedFmi_{0};
    std::atomic<bool> freezeFrameFound_{true};
};

}  // namespace marl
