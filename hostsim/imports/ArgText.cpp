#include "hostsim/imports/ArgText.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "hostsim/TextConvert.h"

namespace hostsim::arg {
namespace {
constexpr const char* kNull = "null";
}

std::string Text(const wchar_t* text) {
    if (text == nullptr) return kNull;
    return "\"" + WideToUtf8(text) + "\"";
}

std::string Text(const char* text) {
    if (text == nullptr) return kNull;
    return "\"" + WideToUtf8(Latin1ToWide(text, std::strlen(text))) + "\"";
}

std::string Bytes(const uint8_t* data, size_t length) {
    if (data == nullptr) return kNull;
    static const char kHex[] = "0123456789ABCDEF";
    constexpr unsigned kNibbleBits = 4;
    constexpr unsigned kNibbleMask = 0xF;
    std::string text;
    for (size_t i = 0; i < length; ++i) {
        if (i != 0) text += ' ';
        text += kHex[data[i] >> kNibbleBits];
        text += kHex[data[i] & kNibbleMask];
    }
    return text;
}

std::string Out(const void* pointer) { return pointer == nullptr ? kNull : "out"; }

std::string Ptr(const void* pointer) {
    if (pointer == nullptr) return kNull;
    char buffer[2 + 2 * sizeof(void*) + 1];
    std::snprintf(buffer, sizeof(buffer), "%p", pointer);
    return buffer;
}

}  // namespace hostsim::arg
