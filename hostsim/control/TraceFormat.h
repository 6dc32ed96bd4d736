// Formatter for the host's trace output. Trace formats are wide and have the Windows
// meaning on every platform: %s (and %ls, %ws) take a wide text, %S (and %hs) an 8-bit
// text, %c a wide character and %C an 8-bit one. Integer, floating-point and pointer
// conversions take the usual flags, width, precision (both also as *) and length
// modifiers (hh h l ll I I32 I64 j z t). %n writes nothing; an unknown conversion is
// copied as written.
#pragma once

#include <cstdarg>
#include <string>

namespace hostsim {

std::wstring FormatWindowsWide(const wchar_t* format, va_list args);

}  // namespace hostsim
