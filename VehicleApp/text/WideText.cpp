#include "VehicleApp/text/WideText.h"

namespace marl::text {

std::wstring Decimal(int64_t value) {
    const std::string narrow = std::to_string(value);
    return std::wstring(narrow.begin(), narrow.end());
}

std::string HexNarrow(uint32_t value, int minDigits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    while (static_cast<int>(out.size()) < minDigits) out.insert(out.begin(), '0');
    return out;
}

std::wstring Hex(uint32_t value, int minDigits) { return Widen(HexNarrow(value, minDigits)); }

std::wstring Widen(const std::string& narrow) {
    std::wstring wide;
    wide.reserve(narrow.size());
    for (char c : narrow) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return wide;
}

size_t CopyToBuffer(const std::wstring& text, wchar_t* buffer, size_t capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(buffer, n);
    buffer[n] = L'\0';
    return n;
}

}  // namespace marl::text
