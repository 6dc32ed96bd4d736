#include "VehicleApp/recording/RecordingFormat.h"

#include <algorithm>
#include <limits>

namespace marl::recording {
namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kAssignment = " = ";
constexpr const char* kItemSeparator = ", ";
constexpr wchar_t kListSeparator = L',';

std::string Header(const char* section) { return std::string("[") + section + "]"; }

std::string Entry(const std::string& key, const std::string& value) { return key + kAssignment + value; }

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

size_t SetCount(size_t supported) { return (supported + kTeskidsPerSet - 1) / kTeskidsPerSet; }

std::string IndexedKey(const char* name, size_t index) { return std::string(name) + "[" + std::to_string(index) + "]"; }

// The sections up to the TESKID lists put their line end before each entry, the vehicle
// information after each.
std::string FormatRecordingBlock(const RecordingBlock& block) {
    std::string out = std::string(kLineEnd) + kLineEnd + Header(kSectionConnectionInfo);
    out += kLineEnd + Entry(kKeyMid, std::to_string(block.sourceAddress));
    out += kLineEnd + Entry(kKeyProtocol, block.protocol);
    out += std::string(kLineEnd) + kLineEnd + Header(kSectionVin);
    if (!block.vin.empty()) out += kLineEnd + Entry(kKeyVin, block.vin);
    out += std::string(kLineEnd) + kLineEnd;

    out += kLineEnd + Header(kSectionProprietary);
    const size_t sets = SetCount(block.supported.size());
    out += kLineEnd + Entry(kKeySetsOfTeskids, std::to_string(sets));
    for (size_t set = 0; set < sets; ++set) {
        const size_t first = set * kTeskidsPerSet;
        const size_t count = std::min(kTeskidsPerSet, block.supported.size() - first);
        std::string line = std::to_string(count);
        for (size_t i = first; i < first + count; ++i) line += kItemSeparator + std::to_string(block.supported[i]);
        out += kLineEnd + Entry(IndexedKey(kKeySupportedTeskids, set), line);
    }
    out += std::string(kLineEnd) + kLineEnd;

    out += Header(kSectionVehicleInfo) + kLineEnd;
    out += Entry(kKeySize, std::to_string(block.vehicleInfo.size())) + kLineEnd;
    for (size_t i = 0; i < block.vehicleInfo.size(); ++i) {
        out += Entry(IndexedKey(kKeyTeskid, i), std::to_string(block.vehicleInfo[i].teskId)) + kLineEnd;
        out += Entry(IndexedKey(kKeyValue, i), block.vehicleInfo[i].value) + kLineEnd;
    }
    return out;
}

uint32_t ReadNumber(const std::wstring& text) {
    constexpr uint64_t kLargest = std::numeric_limits<uint32_t>::max();
    auto it = std::find_if_not(text.begin(), text.end(), IsBlank);
    uint64_t value = 0;
    for (; it != text.end() && *it >= L'0' && *it <= L'9'; ++it) {
        value = std::min(kLargest, value * 10 + static_cast<uint64_t>(*it - L'0'));
    }
    return static_cast<uint32_t>(value);
}

std::vector<TESKID> ReadTeskidSet(const std::wstring& line) {
    std::vector<std::wstring> items;
    size_t start = 0;
    for (size_t comma = line.find(kListSeparator); comma != std::wstring::npos;
         start = comma + 1, comma = line.find(kListSeparator, start)) {
        items.push_back(line.substr(start, comma - start));
    }
    items.push_back(line.substr(start));

    const size_t announced = std::min(ReadNumber(items.front()), kLargestAnnouncedCount);
    const size_t present = std::min(announced, items.size() - 1);
    std::vector<TESKID> teskIds;
    for (size_t i = 1; i <= present; ++i) teskIds.push_back(ReadNumber(items[i]));
    return teskIds;
}

}  // namespace marl::recording
