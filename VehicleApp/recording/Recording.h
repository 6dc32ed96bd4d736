// The plug-in's part of the host's recordings. While a recording runs, the receive path
// hands what it passes to the host's parser to the host's recorder as well; when the
// recording ends the plug-in appends its sections to the file (the module's address, the
// VIN, the supported recordable parameters, the vehicle information), and on playback it
// reads them back and rebuilds the module from them. The format is in RecordingFormat.h.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "VehicleApp/core/ModuleRecord.h"
#include "VehicleApp/recording/RecordingFormat.h"
#include "host/ZorvTypes.h"
#include "platform/Platform.h"

namespace marl {

class CVehicleApp;
class HostTrace;
class IIni;

// The VIN kept for the [VIN] section, in characters.
constexpr size_t kVinCapacity = 200;
// The host's value texts of vehicle-information data points, in characters.
constexpr uint16_t kRecordedValueCapacity = 200;

class Recording {
public:
    explicit Recording(CVehicleApp& app);
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Entry 0x1027B: the host's recording value, passed back with every recorded message.
    uint16_t StartRecording(uint32_t value);
    // Entry 0x1027C: ends the recording and appends the module's block to the file. 0 when
    // appended or no path was given, 1 when the module is unknown or the file cannot be
    // opened or written.
    uint16_t AppendDataToRecordingFile(int32_t moduleHandle, const wchar_t* path);
    // Entry 0x1027D: rebuilds the recorded module from the file. 0, also without a path;
    // 20 for a recording of the global address or when no record can be built.
    uint16_t ReadDataFromRecordingFile(int32_t moduleHandle, const wchar_t* path);

    bool IsRecording() const { return recording_.load(); }
    uint32_t RecordingValue() const { return recordingValue_.load(); }
    // The receive path's message of `pgn` from `module`, about to reach the host's parser:
    // recorded while a recording runs, once the module's registration is complete, at
    // most once per PGN within 400 time-stamp units (kept in the module's PGN map).
    void RecordMessage(ModuleRecord& module, uint32_t pgn, const uint8_t* message, uint16_t length, uint32_t timeStamp);

    // The VIN last read from a module (command 3000), cut to kVinCapacity characters.
    void KeepVin(const std::wstring& vin);
    std::wstring Vin() const;

private:
    recording::RecordingBlock CollectBlock(const ModuleRecord& module);
    // The recorded supported sets: their TESKIDs into `supported`, their PGNs marked as
    // answered in the new record's map.
    void GetRecordedTeskids(const IIni& ini, int32_t moduleHandle, ModuleRecord& record,
                            std::vector<TESKID>& supported);
    void RestoreVehicleInfo(const IIni& ini, int32_t moduleHandle);

    CVehicleApp& app_;
    HostTrace& trace_;
    std::atomic<bool> recording_{false};
    std::atomic<uint32_t> recordingValue_{0};
    // Written by the host's command thread, read when a recording ends.
    mutable platform::CriticalSection vinLock_;
    std::wstring vin_;
};

}  // namespace marl
