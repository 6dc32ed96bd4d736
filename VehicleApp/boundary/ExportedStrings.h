// Text helpers the plug-in exports to its host and sibling components under plain C
// names. "Narrow" texts are 8-bit, either in the ANSI code page or in the C runtime's
// current locale, as each function says; "wide" texts are the host's wchar_t texts.
// They are ordinary __cdecl functions so that the export names stay undecorated on
// 32-bit Windows.
#pragma once

#include <cstdint>

#include "VehicleApp/boundary/PluginExport.h"

namespace marl::boundary {

// Limit value of MBSToAscii and AsciiToMBS that means "the whole text, the destination
// is large enough".
constexpr uint32_t kWholeString = 0xFFFFFFFFu;

}  // namespace marl::boundary

extern "C" {

// Wide to narrow, current locale. With kWholeString the text first goes through the ANSI
// code page (unconvertible characters become '?'), then through the locale. Returns 1,
// or 0 when a pointer is null or the locale cannot represent a character. The
// destination must hold limit + 1 bytes, or the text and its terminator when that is
// less; a longer text is cut at limit bytes and terminated.
MARL_EXPORT int MBSToAscii(char* destination, const wchar_t* source, uint32_t limit);

// Narrow to wide, the mirror image of MBSToAscii (limit + 1 wide characters of room).
MARL_EXPORT int AsciiToMBS(wchar_t* destination, const char* source, uint32_t limit);

// Narrow to wide through the ANSI code page, terminator included. Returns the number of
// wide characters written with the terminator; 0 on failure or for an empty text, which
// writes nothing.
MARL_EXPORT int AsciiToMBSEx(wchar_t* destination, const char* source);

// Wide to narrow through the ANSI code page into the length of the text, then a zero byte
// after it (the destination needs the text's length + 1 bytes). The result is the
// conversion's own: 0 for a non-empty text, 1 for an empty one; see the definition.
MARL_EXPORT int Make_ASCII(char* destination, const wchar_t* source);

// The same function as Make_ASCII under its second export name.
MARL_EXPORT int MBSToAsciiEx(char* destination, const wchar_t* source);

// Converts sourceLength bytes one by one with the locale; a byte the locale rejects is
// kept as its sign-extended 16-bit value. Writes no terminator. Returns 0 when the
// destination is shorter than the source (or a needed pointer is null), else 1.
MARL_EXPORT int AsciiToMBSRaw(const char* source, int16_t sourceLength, wchar_t* destination,
                              int16_t destinationLength);

// A text with a '.' is read as a floating-point number, any other as a 32-bit decimal
// integer. Texts that do not parse give 0.0.
MARL_EXPORT double ConvertStrToDouble(const wchar_t* text);

// 1 when the text holds at least one letter, else 0.
MARL_EXPORT int IsAlphaString(const wchar_t* text);

}  // extern "C"
