#include "hostsim/TextConvert.h"

#include <cstdint>

namespace hostsim {
namespace {

constexpr uint32_t kReplacement = 0xFFFD;
constexpr uint32_t kMaxCodePoint = 0x10FFFF;
constexpr uint32_t kSurrogateFirst = 0xD800;
constexpr uint32_t kLowSurrogateFirst = 0xDC00;
constexpr uint32_t kSurrogateLast = 0xDFFF;
constexpr uint32_t kSupplementaryBase = 0x10000;
constexpr uint32_t kSurrogateBits = 10;
constexpr uint32_t kSurrogateMask = 0x3FF;

constexpr bool kWideIsUtf16 = sizeof(wchar_t) == 2;

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp > kMaxCodePoint || (cp >= kSurrogateFirst && cp <= kSurrogateLast)) {
        cp = kReplacement;
    }
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendWide(std::wstring& out, uint32_t cp) {
    if (cp > kMaxCodePoint || (cp >= kSurrogateFirst && cp <= kSurrogateLast)) {
        cp = kReplacement;
    }
    if (kWideIsUtf16 && cp >= kSupplementaryBase) {
        uint32_t v = cp - kSupplementaryBase;
        out += static_cast<wchar_t>(kSurrogateFirst + (v >> kSurrogateBits));
        out += static_cast<wchar_t>(kLowSurrogateFirst + (v & kSurrogateMask));
    } else {
        out += static_cast<wchar_t>(cp);
    }
}

// Length of a UTF-8 sequence from its lead byte, 0 when the byte cannot lead one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t cp = static_cast<uint32_t>(text[i]) & (kWideIsUtf16 ? 0xFFFFu : 0xFFFFFFFFu);
        if (kWideIsUtf16 && cp >= kSurrogateFirst && cp < kLowSurrogateFirst && i + 1 < text.size()) {
            uint32_t low = static_cast<uint32_t>(text[i + 1]) & 0xFFFFu;
            if (low >= kLowSurrogateFirst && low <= kSurrogateLast) {
                cp = kSupplementaryBase + ((cp - kSurrogateFirst) << kSurrogateBits) +
                     (low - kLowSurrogateFirst);
                ++i;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        size_t length = SequenceLength(lead);
        if (length == 0 || i + length > text.size()) {
            AppendWide(out, kReplacement);
            ++i;
            continue;
        }
        uint32_t cp = length == 1 ? lead : (lead & (0x7F >> length));
        bool ok = true;
        for (size_t k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
        }
        if (!ok) {
            AppendWide(out, kReplacement);
            ++i;
            continue;
        }
        AppendWide(out, cp);
        i += length;
    }
    return out;
}

std::wstring Latin1ToWide(const char* text, size_t length) {
    std::wstring out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        out += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
    return out;
}

std::string WideToLatin1(const std::wstring& text) {
    constexpr uint32_t kLatin1Last = 0xFF;
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        uint32_t cp = static_cast<uint32_t>(ch);
        out += cp <= kLatin1Last ? static_cast<char>(cp) : '?';
    }
    return out;
}

size_t CopyText(const std::wstring& text, wchar_t* buffer, size_t capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    size_t count = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(buffer, count);
    buffer[count] = L'\0';
    return count;
}

size_t CopyText(const std::string& text, char* buffer, size_t capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    size_t count = text.size() < capacity - 1 ? text.size() : capacity - 1;
    text.copy(buffer, count);
    buffer[count] = '\0';
    return count;
}

}  // namespace hostsim
