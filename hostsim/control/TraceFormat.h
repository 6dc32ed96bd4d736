// Formatter for the host's trace output, limited to the conversions the plug-in's trace
// texts use. Trace formats are wide and keep their Windows meaning on every platform:
//   %s   a wide text            %S   an 8-bit text (ANSI code page, read as Latin-1)
//   %d   a signed int           %X   an unsigned int in upper-case hex
//   %%   a percent sign
// %d and %X take an optional zero flag and width ("%02X", "%06X"). A null text prints
// "(null)". Anything else after a '%' is written out as it stands and takes no argument,
// so an unexpected format shows up in the trace instead of reading a wrong argument.
#pragma once

#include <cstdarg>
#include <string>

namespace hostsim {

std::wstring FormatWindowsWide(const wchar_t* format, va_list args);

}  // namespace hostsim
