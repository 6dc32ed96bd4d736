#include "hostsim/control/TraceFormat.h"

#include <cstring>

#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

constexpr unsigned kDecimalBase = 10;
constexpr unsigned kHexBase = 16;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
constexpr wchar_t kNullText[] = L"(null)";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring Digits(unsigned long long value, unsigned base) {
    std::wstring digits;
    do {
        digits.insert(digits.begin(), kHexDigits[value % base]);
        value /= base;
    } while (value != 0);
    return digits;
}

// Pads a number to a width: with zeros after its sign, or with blanks in front.
std::wstring Padded(bool negative, std::wstring digits, size_t width, bool zeroPad) {
    size_t length = digits.size() + (negative ? 1 : 0);
    if (zeroPad && length < width) digits.insert(0, width - length, L'0');
    if (negative) digits.insert(digits.begin(), L'-');
    if (digits.size() < width) digits.insert(0, width - digits.size(), L' ');
    return digits;
}

}  // namespace

std::wstring FormatWindowsWide(const wchar_t* format, va_list args) {
    std::wstring out;
    if (format == nullptr) return out;
    va_list next;
    va_copy(next, args);
    const wchar_t* p = format;
    while (*p != L'\0') {
        if (*p != L'%') {
            out += *p++;
            continue;
        }
        const wchar_t* start = p++;
        bool zeroPad = *p == L'0';
        if (zeroPad) ++p;
        size_t width = 0;
        while (IsDigit(*p)) width = width * kDecimalBase + static_cast<size_t>(*p++ - L'0');
        bool plain = p == start + 1;
        wchar_t conversion = *p;
        if (conversion == L'd') {
            int value = va_arg(next, int);
            long long wide = value;
            bool negative = wide < 0;
            out += Padded(negative, Digits(static_cast<unsigned long long>(negative ? -wide : wide), kDecimalBase),
                          width, zeroPad);
        } else if (conversion == L'X') {
            out += Padded(false, Digits(va_arg(next, unsigned), kHexBase), width, zeroPad);
        } else if (plain && conversion == L's') {
            const wchar_t* text = va_arg(next, const wchar_t*);
            out += text != nullptr ? text : kNullText;
        } else if (plain && conversion == L'S') {
            const char* text = va_arg(next, const char*);
            out += text != nullptr ? Latin1ToWide(text, std::strlen(text)) : kNullText;
        } else if (plain && conversion == L'%') {
            out += L'%';
        } else {
            // Not a conversion of the plug-in's traces: written as it stands.
            if (conversion == L'\0') {
                out.append(start, p);
                break;
            }
            out.append(start, p + 1);
        }
        ++p;
    }
    va_end(next);
    return out;
}

}  // namespace hostsim
