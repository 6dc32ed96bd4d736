#include "VehicleApp/discovery/SoftwareIdFields.h"

#include <limits>

#include "VehicleApp/discovery/DataPointText.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

constexpr const char* kFieldCountName = "SPN_965";
constexpr const char* kFieldPrefix = "SPN_234_";
constexpr size_t kFieldDigits = 2;
constexpr uint32_t kDecimalBase = 10;
constexpr uint32_t kMaxCount = std::numeric_limits<uint16_t>::max();

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::string SoftwareIdFieldName(uint16_t field) {
    std::wstring digits = text::Decimal(field);
    while (digits.size() < kFieldDigits) digits.insert(digits.begin(), L'0');
    std::string name = kFieldPrefix;
    for (wchar_t digit : digits) name.push_back(static_cast<char>(digit));
    return name;
}

std::optional<uint16_t> ParseFieldCount(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size() || text[i] < L'0' || text[i] > L'9') return std::nullopt;
    uint32_t count = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        count = count * kDecimalBase + static_cast<uint32_t>(text[i] - L'0');
        if (count > kMaxCount) count = kMaxCount;
    }
    return static_cast<uint16_t>(count);
}

void HideSurplusSoftwareIdFields(int32_t moduleHandle) {
    TESKID countTeskId = 0;
    if (Zorv_GetDPIDbyName(moduleHandle, kFieldCountName, &countTeskId) != kZorvSuccess) return;
    std::wstring value;
    if (!ReadDataPointValueText(moduleHandle, countTeskId, kValueSelectorCurrent, value)) return;
    const std::optional<uint16_t> reported = ParseFieldCount(value);
    if (!reported) return;
    for (uint16_t field = *reported; field < kSoftwareIdFieldCount; ++field) {
        TESKID teskId = 0;
        if (Zorv_GetDPIDbyName(moduleHandle, SoftwareIdFieldName(field).c_str(), &teskId) == kZorvSuccess &&
            teskId != 0)
            Zorv_SetDataPointVisible(moduleHandle, teskId, 0);
    }
}

}  // namespace marl
