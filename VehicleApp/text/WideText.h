// Small builders for the texts the plug-in makes itself. They give the same result on
// Windows (16-bit wchar_t) and Linux (32-bit wchar_t) without going through the C
// library's wide printf, whose %s and %S mean different things on the two platforms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace marl {

// The separator of fields in the texts the host and the plug-in exchange ("§").
constexpr wchar_t kFieldSeparator = L'\u00A7';

}  // namespace marl

namespace marl::text {

std::wstring Decimal(int64_t value);
// Upper-case hexadecimal, zero-padded to at least `minDigits` digits.
std::wstring Hex(uint32_t value, int minDigits);
std::string HexNarrow(uint32_t value, int minDigits);
std::wstring Widen(const std::string& narrow);  // byte for byte (ASCII and Latin-1)

// Copies `text` into a host buffer of `capacity` characters, truncating so that the
// terminator always fits. Returns the number of characters written before it.
size_t CopyToBuffer(const std::wstring& text, wchar_t* buffer, size_t capacity);

// The room of a host's text buffer, in characters, from the 16-bit count the host passes
// with it; none when the count is missing or not positive.
inline size_t CapacityOf(const int16_t* length) {
    return length != nullptr && *length > 0 ? static_cast<size_t>(*length) : 0;
}

// The text a host left in a buffer of `capacity` characters: up to its first
// terminator, or the whole buffer when the host left none.
template <typename CharT>
std::basic_string<CharT> FromBuffer(const CharT* buffer, size_t capacity) {
    if (buffer == nullptr) return {};
    size_t n = 0;
    while (n < capacity && buffer[n] != CharT{}) ++n;
    return std::basic_string<CharT>(buffer, n);
}

}  // namespace marl::text
