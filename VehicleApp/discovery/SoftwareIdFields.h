// An ECU's software identification comes in up to twenty fields, the data points
// "SPN_234_00" to "SPN_234_19"; "SPN_965" says how many of them the ECU really fills.
// The rest would only show empty lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace marl {

constexpr uint16_t kSoftwareIdFieldCount = 20;

// "SPN_234_" and the field number in at least two decimal digits.
std::string SoftwareIdFieldName(uint16_t field);

// The decimal count a value text begins with (after blanks); nothing when it begins with
// anything else. A count beyond 16 bits saturates: it still means "all fields".
std::optional<uint16_t> ParseFieldCount(const std::wstring& text);

// Hides the fields from the reported count on. Nothing is hidden when the module has
// no "SPN_965" or its value cannot be read as a count.
void HideSurplusSoftwareIdFields(int32_t moduleHandle);

}  // namespace marl
