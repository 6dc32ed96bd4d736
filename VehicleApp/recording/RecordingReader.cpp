// Playback of a recording: the plug-in's block of the file rebuilds the recorded module
// (its address, the PGNs it answered), shows exactly the parameters it supported and
// restores the vehicle information. The file may be damaged or edited by hand: missing
// sections read as empty, counts larger than what is there find nothing more, and every
// list is read only as far as it goes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/recording/DIni.h"
#include "VehicleApp/recording/Recording.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

using namespace recording;

// A line is read into a few characters on the stack first, then into kLineCapacity; a
// line that fills them is read again into twice the room, up to the largest. The
// writer's longest line, a hundred ten-digit TESKIDs, fits 2,048.
constexpr uint32_t kShortLineCapacity = 64;
constexpr uint32_t kLineCapacity = 1024;
constexpr uint32_t kLongestLineCapacity = 64 * 1024;
// The key names of a section are listed once, so that a count larger than the entries
// there costs no read of each missing one; a longer list is not listed.
constexpr uint32_t kLongestKeyListCapacity = 1024 * 1024;
constexpr uint16_t kDisplayValueCapacity = 1024;
// The writer lists what the host's category call gives, at most kCategoryListCapacity
// data points: larger counts in a file are not the writer's and are cut to that.
constexpr uint32_t kLargestRecordedSets = (kCategoryListCapacity + kTeskidsPerSet - 1) / kTeskidsPerSet;
constexpr uint32_t kLargestVehicleInfoCount = kCategoryListCapacity;

// A recorded module is on the first channel.
constexpr int16_t kRecordedChannel = 1;
// Categories of this type are shown or hidden by the recorded support.
constexpr uint16_t kCategoryTypeByRecordedSupport = 1;
constexpr ZPgn kUnknownPgn = 0xFFFFFFFFu;
constexpr const wchar_t* kHiddenValue = L"--";

std::wstring ReadValue(const IIni& ini, const char* section, const std::string& key) {
    const std::wstring wideSection = text::Widen(section);
    const std::wstring wideKey = text::Widen(key);
    // Most values are short numbers: they are read on the stack.
    wchar_t shortLine[kShortLineCapacity];
    uint32_t count = ini.GetString(wideSection.c_str(), wideKey.c_str(), L"", shortLine, kShortLineCapacity);
    if (count + 1 < kShortLineCapacity) return text::FromBuffer(shortLine, count);
    for (uint32_t capacity = kLineCapacity;; capacity *= 2) {
        std::unique_ptr<wchar_t[]> buffer(new wchar_t[capacity]);
        buffer[0] = L'\0';
        count = ini.GetString(wideSection.c_str(), wideKey.c_str(), L"", buffer.get(), capacity);
        if (count + 1 < capacity || capacity >= kLongestLineCapacity) {
            return text::FromBuffer(buffer.get(), std::min(count, capacity));
        }
    }
}

std::wstring Folded(std::wstring name) {
    for (wchar_t& c : name) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return name;
}

// The keys a section has, folded to lower case (key names are case-insensitive; ours are
// ASCII). Nothing when the list does not fit the largest buffer: then every key is read.
std::optional<std::unordered_set<std::wstring>> KeysOf(const IIni& ini, const char* section) {
    const std::wstring wideSection = text::Widen(section);
    for (uint32_t capacity = kLineCapacity; capacity <= kLongestKeyListCapacity; capacity *= 2) {
        std::unique_ptr<wchar_t[]> buffer(new wchar_t[capacity]);
        const uint32_t count = ini.GetKeyNames(wideSection.c_str(), buffer.get(), capacity);
        // A list cut to the buffer comes back two characters short of it.
        if (count + 2 >= capacity) continue;
        std::unordered_set<std::wstring> keys;
        for (uint32_t at = 0; at < count;) {
            const std::wstring key = text::FromBuffer(buffer.get() + at, count - at);
            keys.insert(Folded(key));
            at += static_cast<uint32_t>(key.size()) + 1;
        }
        return keys;
    }
    return std::nullopt;
}

uint32_t ReadCount(const IIni& ini, const char* section, const char* key, uint32_t largest) {
    return std::min(ReadNumber(ReadValue(ini, section, key)), largest);
}

ModuleInfo RecordedModuleInfo(uint8_t sourceAddress) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = sourceAddress;
    info.channel = kRecordedChannel;
    return info;
}

// Every data point of the categories that follow the recorded support is shown and valid
// exactly when the recording lists it.
void ShowRecordedDataPoints(int32_t moduleHandle, std::vector<TESKID> supported) {
    std::sort(supported.begin(), supported.end());
    uint16_t vehicles = 0;
    Zorv_GetVehicleCount(moduleHandle, &vehicles);
    for (uint16_t vehicle = 0; vehicle < vehicles; ++vehicle) {
        uint16_t categories = 0;
        Zorv_GetCategoryCount(moduleHandle, vehicle, &categories);
        for (uint16_t category = 0; category < categories; ++category) {
            uint16_t type = 0;
            Zorv_GetCategoryType(moduleHandle, vehicle, category, &type);
            if (type != kCategoryTypeByRecordedSupport) continue;
            uint16_t count = 0;
            Zorv_GetCategoryDPCount(moduleHandle, vehicle, category, &count);
            for (uint16_t index = 0; index < count; ++index) {
                TESKID teskId = 0;
                Zorv_GetCategoryDPID(moduleHandle, vehicle, category, index, &teskId);
                const ZBool32 shown = std::binary_search(supported.begin(), supported.end(), teskId) ? 1 : 0;
                Zorv_SetDataPointVisible(moduleHandle, teskId, shown);
                Zorv_SetDataPointValid(moduleHandle, teskId, shown);
            }
        }
    }
}

}  // namespace

void Recording::GetRecordedTeskids(const IIni& ini, int32_t moduleHandle, ModuleRecord& record,
                                   std::vector<TESKID>& supported) {
    const uint32_t sets = ReadCount(ini, kSectionProprietary, kKeySetsOfTeskids, kLargestRecordedSets);
    for (uint32_t set = 0; set < sets; ++set) {
        for (TESKID teskId :
             ReadTeskidSet(ReadValue(ini, kSectionProprietary, IndexedKey(kKeySupportedTeskids, set)))) {
            supported.push_back(teskId);
            ZPgn pgn = kUnknownPgn;
            const ZResult found = Zorv_GetPIDForTESKID(moduleHandle, teskId, &pgn);
            if (found == kZorvSuccess) {
                record.pgnMap.recordResponse(pgn, false);
            } else {
                trace_.Write(kTraceFailure, found, L"%s", L"CVehicleApp::GetRecordedTeskids (Line 328)");
            }
        }
    }
}

void Recording::RestoreVehicleInfo(const IIni& ini, int32_t moduleHandle) {
    const uint32_t size = ReadCount(ini, kSectionVehicleInfo, kKeySize, kLargestVehicleInfoCount);
    const auto keys = KeysOf(ini, kSectionVehicleInfo);
    const auto read = [&](const std::string& key) {
        if (keys && keys->count(Folded(text::Widen(key))) == 0) return std::wstring();
        return ReadValue(ini, kSectionVehicleInfo, key);
    };
    for (uint32_t index = 0; index < size; ++index) {
        const std::wstring teskIdText = read(IndexedKey(kKeyTeskid, index));
        // An entry the file does not have names no data point.
        if (teskIdText.empty()) continue;
        const TESKID teskId = ReadNumber(teskIdText);
        const std::wstring value = read(IndexedKey(kKeyValue, index));
        if (value == kHiddenValue) {
            Zorv_SetDataPointVisible(moduleHandle, teskId, 0);
            continue;
        }
        std::vector<wchar_t> display(kDisplayValueCapacity, L'\0');
        text::CopyToBuffer(value, display.data(), display.size());
        Zorv_SetDPDisplayValue(moduleHandle, teskId, display.data(), kDisplayValueCapacity);
    }
}

uint16_t Recording::ReadDataFromRecordingFile(int32_t moduleHandle, const wchar_t* path) {
    DIni ini;
    std::vector<TESKID> supported;
    if (path == nullptr) return results::kSuccess;
    // A file that cannot be read reads as empty: a module at address 0 that supports nothing.
    ini.Open(path);

    // An address beyond 8 bits is no ECU's: it reads as the global address and is refused.
    const auto sourceAddress = static_cast<uint8_t>(
        std::min<uint32_t>(ReadNumber(ReadValue(ini, kSectionConnectionInfo, kKeyMid)), kGlobalAddress));
    if (sourceAddress == kGlobalAddress) {
        trace_.Write(kTraceFailure, 0, L"%s", L"CVehicleApp::ReadDataFromRecordingFile (Line 386)");
        ini.Close();
        return results::kRecordingRefused;
    }

    ModuleRecordPtr record = ModuleTable::CreateModuleRecord(moduleHandle, RecordedModuleInfo(sourceAddress));
    if (!record) return results::kRecordingRefused;
    record->SetBusy(false);

    GetRecordedTeskids(ini, moduleHandle, *record, supported);
    RestoreVehicleInfo(ini, moduleHandle);
    ini.Close();
    ShowRecordedDataPoints(moduleHandle, std::move(supported));
    app_.Modules().AddRecordedModule(std::move(record));
    return results::kSuccess;
}

}  // namespace marl
