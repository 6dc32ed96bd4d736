// Small builders for the texts the plug-in makes itself. They give the same result on
// Windows (16-bit wchar_t) and Linux (32-bit wchar_t) without going through the C
// library's wide printf, whose %s and %S mean different things on the two platforms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace marl::text {

std::wstring Decimal(int64_t value);
// Upper-case hexadecimal, zero-padded to at least `minDigits` digits.
std::wstring Hex(uint32_t value, int minDigits);
std::string HexNarrow(uint32_t value, int minDigits);
std::wstring Widen(const std::string& narrow);  // byte for byte (ASCII and Latin-1)

// Copies `text` into a host buffer of `capacity` characters, truncating so that the
// terminator always fits. Returns the number of characters written before it.
size_t CopyToBuffer(const std::wstring& text, wchar_t* buffer, size_t capacity);

}  // namespace marl::text
