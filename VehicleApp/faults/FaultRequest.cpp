#include "VehicleApp/faults/FaultRequest.h"

#include <limits>
#include <string>
#include <vector>

#include "VehicleApp/text/WideText.h"

namespace marl {
namespace {

constexpr int kDecimalBase = 10;
constexpr size_t kReadFields = 3;

// Leading blanks, an optional sign and the digits that follow, as the C library reads a
// number; the magnitude stops growing at `limit`.
template <typename T>
T ReadNumber(const std::wstring& field) {
    size_t i = 0;
    while (i < field.size() && (field[i] == L' ' || field[i] == L'\t')) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == L'-' || field[i] == L'+')) negative = field[i++] == L'-';
    const uint64_t limit = negative ? static_cast<uint64_t>(std::numeric_limits<T>::max()) + 1
                                    : static_cast<uint64_t>(std::numeric_limits<T>::max());
    uint64_t magnitude = 0;
    for (; i < field.size() && field[i] >= L'0' && field[i] <= L'9'; ++i) {
        const auto digit = static_cast<uint64_t>(field[i] - L'0');
        magnitude = magnitude > (limit - digit) / kDecimalBase ? limit : magnitude * kDecimalBase + digit;
    }
    if (!negative) return static_cast<T>(magnitude);
    // Unsigned fields take a negative number as the C library does: modulo their range.
    if (std::numeric_limits<T>::is_signed) {
        return magnitude == 0 ? T{0} : static_cast<T>(-static_cast<int64_t>(magnitude - 1) - 1);
    }
    return static_cast<T>(0 - magnitude);
}

}  // namespace

FaultRequest ReadFaultRequest(const wchar_t* text, size_t capacity) {
    FaultRequest request;
    if (text == nullptr) return request;
    std::vector<std::wstring> fields(1);
    bool separated = false;
    for (size_t i = 0; i < capacity && text[i] != L'\0'; ++i) {
        if (text[i] == kFieldSeparator) {
            separated = true;
            // Fields after the third are not read.
            if (fields.size() == kReadFields) break;
            fields.emplace_back();
        } else if (fields.back().size() < kFaultRequestFieldLength) {
            fields.back().push_back(text[i]);
        }
    }
    if (!separated) return request;
    fields.resize(kReadFields);
    request.groupId = ReadNumber<uint32_t>(fields[0]);
    request.binNumber = ReadNumber<int64_t>(fields[1]);
    request.fmi = ReadNumber<int32_t>(fields[2]);
    return request;
}

}  // namespace marl
