// Code-page conversion and debug output where there are no code pages. The ANSI code
// page is Latin-1: the byte values 0-255 and the code points 0-255 map to each other,
// and everything else becomes the default character.
#include "platform/Platform.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <type_traits>

namespace marl::platform {

namespace {

constexpr uint32_t kLatin1Last = 0xFF;
constexpr char kDefaultChar = '?';

using WideUnit = std::make_unsigned_t<wchar_t>;

// The argument checks of WideCharToMultiByte and MultiByteToWideChar; returns the number
// of source units (terminator included for a negative length, which Windows treats as
// -1), or 0 when the call must fail.
template <typename Char, typename Length>
size_t SourceUnits(const Char* src, int srcLen, const void* dst, int dstCap, Length length) {
    if (src == nullptr || srcLen == 0 || dstCap < 0 || (dstCap > 0 && dst == nullptr)) {
        return 0;
    }
    const size_t units = srcLen < 0 ? length(src) + 1 : static_cast<size_t>(srcLen);
    return units > static_cast<size_t>(INT_MAX) ? 0 : units;
}

// Writes as much as fits; the result is the count on success, 0 when the destination
// is too small (its start is filled all the same, as Windows does).
template <typename Convert>
int Fill(size_t units, int dstCap, Convert convert) {
    if (dstCap == 0) {
        for (size_t i = 0; i < units; ++i) {
            convert(i, false);
        }
        return static_cast<int>(units);
    }
    const size_t room = static_cast<size_t>(dstCap);
    for (size_t i = 0; i < units && i < room; ++i) {
        convert(i, true);
    }
    return units > room ? 0 : static_cast<int>(units);
}

void AppendUtf8(std::string& out, uint32_t codePoint) {
    constexpr uint32_t kOneByteLast = 0x7F;
    constexpr uint32_t kTwoByteLast = 0x7FF;
    constexpr uint32_t kThreeByteLast = 0xFFFF;
    constexpr uint32_t kUnicodeLast = 0x10FFFF;
    constexpr uint32_t kReplacement = 0xFFFD;
    constexpr uint32_t kTwoByteLead = 0xC0;
    constexpr uint32_t kThreeByteLead = 0xE0;
    constexpr uint32_t kFourByteLead = 0xF0;
    constexpr uint32_t kContinuation = 0x80;
    constexpr uint32_t kBitsPerContinuation = 6;
    constexpr uint32_t kContinuationMask = 0x3F;
    if (codePoint > kUnicodeLast) {
        codePoint = kReplacement;
    }
    int continuations = 0;
    if (codePoint <= kOneByteLast) {
        out += static_cast<char>(codePoint);
        return;
    }
    if (codePoint <= kTwoByteLast) {
        continuations = 1;
        out += static_cast<char>(kTwoByteLead | (codePoint >> kBitsPerContinuation));
    } else if (codePoint <= kThreeByteLast) {
        continuations = 2;
        out += static_cast<char>(kThreeByteLead | (codePoint >> (2 * kBitsPerContinuation)));
    } else {
        continuations = 3;
        out += static_cast<char>(kFourByteLead | (codePoint >> (3 * kBitsPerContinuation)));
    }
    for (int shift = continuations - 1; shift >= 0; --shift) {
        const uint32_t bits = codePoint >> (static_cast<uint32_t>(shift) * kBitsPerContinuation);
        out += static_cast<char>(kContinuation | (bits & kContinuationMask));
    }
}

}  // namespace

int WideToAnsi(const wchar_t* src, int srcLen, char* dst, int dstCap, bool* usedDefault) {
    const size_t units = SourceUnits(src, srcLen, dst, dstCap, [](const wchar_t* text) { return std::wcslen(text); });
    if (units == 0) {
        return 0;
    }
    bool defaulted = false;
    const int result = Fill(units, dstCap, [&](size_t i, bool write) {
        const auto unit = static_cast<WideUnit>(src[i]);
        const bool fits = unit <= kLatin1Last;
        defaulted = defaulted || !fits;
        if (write) {
            dst[i] = fits ? static_cast<char>(unit) : kDefaultChar;
        }
    });
    if (usedDefault != nullptr) {
        *usedDefault = defaulted;
    }
    return result;
}

int AnsiToWide(const char* src, int srcLen, wchar_t* dst, int dstCap) {
    const size_t units = SourceUnits(src, srcLen, dst, dstCap, [](const char* text) { return std::strlen(text); });
    if (units == 0) {
        return 0;
    }
    return Fill(units, dstCap, [&](size_t i, bool write) {
        if (write) {
            dst[i] = static_cast<wchar_t>(static_cast<unsigned char>(src[i]));
        }
    });
}

void DebugOutput(const wchar_t* text) {
    if (text == nullptr || std::getenv("MARL_DEBUG_OUTPUT") == nullptr) {
        return;
    }
    // Terminals here speak UTF-8; Latin-1 bytes would come out garbled.
    std::string utf8;
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        AppendUtf8(utf8, static_cast<WideUnit>(*p));
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
}

}  // namespace marl::platform
