// Appending the plug-in's block to the host's recording file when a recording ends. The
// file holds the host's own recording before it: it is only ever appended to.
#include <algorithm>
#include <string>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/boundary/CommandHandler.h"
#include "VehicleApp/boundary/ExportedStrings.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/discovery/DataPointText.h"
#include "VehicleApp/discovery/HostLists.h"
#include "VehicleApp/recording/FileAccess.h"
#include "VehicleApp/recording/Recording.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr int32_t kShown = 1;
// Binary, so that the block's CR LF line ends reach the file unchanged on Windows too.
constexpr const char* kAppendMode = "ab+";

// The host's wide text in 8 bits, as the C runtime's locale converts it.
std::string EightBit(const std::wstring& text) {
    // MBSToAscii writes at most the text's length and a terminator for a whole text.
    std::vector<char> narrow(text.size() + 1, '\0');
    MBSToAscii(narrow.data(), text.c_str(), boundary::kWholeString);
    return std::string(narrow.data(), std::find(narrow.begin(), narrow.end(), '\0') - narrow.begin());
}

std::string ProtocolText() {
    std::string protocol;
    for (const wchar_t* c = kConnectionProtocolText; *c != L'\0'; ++c) protocol += static_cast<char>(*c);
    return protocol;
}

}  // namespace

recording::RecordingBlock Recording::CollectBlock(const ModuleRecord& module) {
    const int32_t handle = module.Handle();
    recording::RecordingBlock block;
    block.sourceAddress = module.EcuAddress();
    block.protocol = ProtocolText();
    block.vin = EightBit(Vin());

    // Recorded as supported: the recordable parameters that are shown and whose PGN the
    // ECU answered.
    std::vector<TESKID> recordable;
    GetCategoryDataPoints(handle, app_.Receiver().CategoryId(kCategoryRecordablePids), kCategoryListCapacity,
                          recordable);
    for (TESKID teskId : recordable) {
        ZPgn pgn = 0;
        const ZResult found = Zorv_GetPIDForTESKID(handle, teskId, &pgn);
        if (found != kZorvSuccess) {
            trace_.Write(kTraceFailure, found, L"%s", L"CVehicleApp::AppendDataToRecordingFile (Line 191)");
            pgn = 0;
        }
        int32_t visible = 0;
        Zorv_GetDPVisibility(handle, teskId, &visible);
        if (module.pgnMap.isSupported(pgn) && visible == kShown) block.supported.push_back(teskId);
    }

    std::vector<TESKID> vehicleInfo;
    GetCategoryDataPoints(handle, app_.Receiver().CategoryId(kCategoryVehicleInfo), kCategoryListCapacity, vehicleInfo);
    for (TESKID teskId : vehicleInfo) {
        std::wstring value;
        ReadDataPointValueText(handle, teskId, kValueSelectorCurrent, value, kRecordedValueCapacity);
        block.vehicleInfo.push_back({teskId, EightBit(value)});
    }
    return block;
}

uint16_t Recording::AppendDataToRecordingFile(int32_t moduleHandle, const wchar_t* path) {
    // The host asks for the sections when its recording has ended: no further message is
    // recorded, whatever happens to the file.
    recording_.store(false);
    if (path == nullptr) return results::kSuccess;
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return results::kRecordingFileFailure;
    FilePtr file = OpenFile(path, kAppendMode);
    if (!file) return results::kRecordingFileFailure;

    const std::string block = recording::FormatRecordingBlock(CollectBlock(*module));
    const bool written = std::fwrite(block.data(), 1, block.size(), file.get()) == block.size();
    const bool closed = std::fclose(file.release()) == 0;
    return written && closed ? results::kSuccess : results::kRecordingFileFailure;
}

}  // namespace marl
