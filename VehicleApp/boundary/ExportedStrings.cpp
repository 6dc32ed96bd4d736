#include "VehicleApp/boundary/ExportedStrings.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "platform/Platform.h"

namespace {

using marl::boundary::kWholeString;

constexpr size_t kConversionFailed = static_cast<size_t>(-1);
constexpr size_t kIncompleteCharacter = static_cast<size_t>(-2);
// The platform conversions count in int.
constexpr size_t kPlatformMaxUnits = static_cast<size_t>(INT_MAX);
// Room the ANSI-to-wide pass offers per source byte.
constexpr size_t kWidePerNarrowRoom = 2;

// How many units the locale pass may write: the text and its terminator when the text
// is within the limit. A longer text is cut at the limit and terminated by the caller,
// which keeps the write within the limit + 1 units that a text of exactly the limit's
// length already needs; writing the whole text would pass a destination sized by the
// limit.
size_t LocaleUnits(size_t length, uint32_t limit) { return length <= limit ? length + 1 : static_cast<size_t>(limit); }

// The code-page conversion is given room for the text but not for its terminator, which
// is what callers of this helper have always been answered: every non-empty text fills
// those bytes and reports failure (0), and an empty text makes the zero-capacity call a
// size query that answers 1. The terminator is written separately.
int AnsiPassWithoutTerminatorRoom(char* destination, const wchar_t* source, size_t length) {
    if (length >= kPlatformMaxUnits) {
        return 0;
    }
    const int result = marl::platform::WideToAnsi(source, -1, destination, static_cast<int>(length), nullptr);
    destination[length] = '\0';
    return result;
}

// Room of two wide characters per byte: a code page never yields more wide characters
// than bytes, so at most length + 1 are written.
int AnsiToWideWithDoubleRoom(wchar_t* destination, const char* source, size_t length) {
    if (length == 0 || length > kPlatformMaxUnits / kWidePerNarrowRoom) {
        return 0;
    }
    return marl::platform::AnsiToWide(source, -1, destination, static_cast<int>(length * kWidePerNarrowRoom));
}

// A byte the locale refuses keeps its value as a signed 8-bit number widened to 16 bits,
// as a 16-bit wchar_t would hold it (0xE9 becomes 0xFFE9).
wchar_t RejectedByte(char byte) {
    const auto widened = static_cast<int16_t>(static_cast<signed char>(byte));
    return static_cast<wchar_t>(static_cast<uint16_t>(widened));
}

}  // namespace

extern "C" {

int MBSToAscii(char* destination, const wchar_t* source, uint32_t limit) {
    // Checked before the code-page pass: that pass reads and writes through both.
    if (destination == nullptr || source == nullptr) {
        return 0;
    }
    const size_t length = std::wcslen(source);
    if (limit == kWholeString) {
        AnsiPassWithoutTerminatorRoom(destination, source, length);
    }
    std::mbstate_t state{};
    const wchar_t* cursor = source;
    const size_t written = std::wcsrtombs(destination, &cursor, LocaleUnits(length, limit), &state);
    if (written == kConversionFailed) {
        return 0;
    }
    if (length > limit) {
        destination[written] = '\0';
    }
    return 1;
}

int AsciiToMBS(wchar_t* destination, const char* source, uint32_t limit) {
    if (destination == nullptr || source == nullptr) {
        return 0;
    }
    const size_t length = std::strlen(source);
    if (limit == kWholeString) {
        AnsiToWideWithDoubleRoom(destination, source, length);
    }
    std::mbstate_t state{};
    const char* cursor = source;
    const size_t written = std::mbsrtowcs(destination, &cursor, LocaleUnits(length, limit), &state);
    if (written == kConversionFailed) {
        return 0;
    }
    if (length > limit) {
        destination[written] = L'\0';
    }
    return 1;
}

int AsciiToMBSEx(wchar_t* destination, const char* source) {
    if (destination == nullptr || source == nullptr) {
        return 0;
    }
    return AnsiToWideWithDoubleRoom(destination, source, std::strlen(source));
}

int Make_ASCII(char* destination, const wchar_t* source) {
    if (destination == nullptr || source == nullptr) {
        return 0;
    }
    return AnsiPassWithoutTerminatorRoom(destination, source, std::wcslen(source));
}

int MBSToAsciiEx(char* destination, const wchar_t* source) { return Make_ASCII(destination, source); }

int AsciiToMBSRaw(const char* source, int16_t sourceLength, wchar_t* destination, int16_t destinationLength) {
    if (destinationLength < sourceLength) {
        return 0;
    }
    if (sourceLength < 1) {
        return 1;
    }
    if (source == nullptr || destination == nullptr) {
        return 0;
    }
    for (int16_t i = 0; i < sourceLength; ++i) {
        // One byte at a time with a fresh state: a byte that only starts a multibyte
        // character is refused like an invalid one.
        std::mbstate_t state{};
        wchar_t converted = L'\0';
        const size_t used = std::mbrtowc(&converted, &source[i], 1, &state);
        const bool refused = used == kConversionFailed || used == kIncompleteCharacter;
        destination[i] = refused ? RejectedByte(source[i]) : converted;
    }
    return 1;
}

double ConvertStrToDouble(const wchar_t* text) {
    if (text == nullptr) {
        return 0.0;
    }
    if (std::wcschr(text, L'.') != nullptr) {
        double value = 0.0;
        return std::swscanf(text, L"%lf", &value) == 1 ? value : 0.0;
    }
    constexpr int kDecimal = 10;
    // The host's long is 32 bits: out-of-range texts saturate there, as its wcstol does.
    const long long value = std::wcstol(text, nullptr, kDecimal);
    if (value > INT32_MAX) {
        return static_cast<double>(INT32_MAX);
    }
    if (value < INT32_MIN) {
        return static_cast<double>(INT32_MIN);
    }
    return static_cast<double>(value);
}

int IsAlphaString(const wchar_t* text) {
    if (text == nullptr) {
        return 0;
    }
    for (const wchar_t* p = text; *p != L'\0'; ++p) {
        if (std::iswalpha(static_cast<std::wint_t>(*p)) != 0) {
            return 1;
        }
    }
    return 0;
}

}  // extern "C"
