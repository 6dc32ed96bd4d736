// Readable texts of call arguments for the call log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>

namespace hostsim::arg {

// Integers in decimal (8-bit ones as numbers, not characters).
template <typename T, typename = std::enable_if_t<std::is_integral_v<T>>>
std::string Num(T value) {
    if constexpr (std::is_signed_v<T>) {
        return std::to_string(static_cast<long long>(value));
    } else {
        return std::to_string(static_cast<unsigned long long>(value));
    }
}

// A wide text in UTF-8 within double quotes, or null.
std::string Text(const wchar_t* text);
// An 8-bit (ANSI) text in UTF-8 within double quotes, or null.
std::string Text(const char* text);
// Upper-case hex pairs separated by blanks, or null.
std::string Bytes(const uint8_t* data, size_t length);
// A pure out pointer: "out", or "null" when the caller passed none.
std::string Out(const void* pointer);
// An in/out value: its value on entry, or null.
template <typename T>
std::string InOut(const T* pointer) {
    return pointer == nullptr ? std::string("null") : Num(*pointer);
}
// A pointer passed as a plain value (reserved arguments, object addresses).
std::string Ptr(const void* pointer);

}  // namespace hostsim::arg
