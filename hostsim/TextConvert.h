// Text conversions of the stand-in host. Wide texts are UTF-16 on Windows and UTF-32
// elsewhere; the log and the trace lines keep UTF-8. 8-bit texts of the plug-in are in
// the ANSI code page, which the host takes as Latin-1 (each byte its own code point).
#pragma once

#include <cstddef>
#include <string>

namespace hostsim {

std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);
std::wstring Latin1ToWide(const char* text, size_t length);
// Characters beyond Latin-1 become '?', as the ANSI conversion's default character.
std::string WideToLatin1(const std::wstring& text);

// Copies a text into a caller's buffer of capacity characters, always terminated and
// never past the end; returns the number of characters copied. Capacity 0 copies nothing.
size_t CopyText(const std::wstring& text, wchar_t* buffer, size_t capacity);
size_t CopyText(const std::string& text, char* buffer, size_t capacity);

}  // namespace hostsim
