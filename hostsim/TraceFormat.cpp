#include "hostsim/TraceFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>

#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

constexpr int kUnset = -1;
constexpr int kDecimalBase = 10;
constexpr size_t kNumberBufferSize = 512;
constexpr wchar_t kNullText[] = L"(null)";

enum class Length { None, Char, Short, Long, LongLong, Int32, Int64, Size, IntMax, PtrDiff, LongDouble };

struct Spec {
    std::string flags;
    int width = kUnset;
    int precision = kUnset;
    Length length = Length::None;
    wchar_t conversion = 0;
};

class Formatter {
public:
    Formatter(const wchar_t* format, va_list args) : p_(format) { va_copy(args_, args); }
    ~Formatter() { va_end(args_); }
    Formatter(const Formatter&) = delete;
    Formatter& operator=(const Formatter&) = delete;

    std::wstring Run();

private:
    // Reads flags, width, precision and length after a '%'; false when the format ends.
    bool ParseSpec(Spec& spec);
    void ParseLength(Spec& spec);
    void Convert(const Spec& spec, const wchar_t* specStart);
    void Integer(const Spec& spec);
    void Floating(const Spec& spec);
    void Pointer(const Spec& spec);
    void Text(const Spec& spec, bool wide);
    void Character(const Spec& spec, bool wide);
    void Pad(const std::wstring& body, const Spec& spec);
    void AppendNarrow(const char* text);

    const wchar_t* p_;
    va_list args_;
    std::wstring out_;
};

std::wstring Formatter::Run() {
    if (p_ == nullptr) return out_;
    while (*p_ != L'\0') {
        if (*p_ != L'%') {
            out_ += *p_++;
            continue;
        }
        const wchar_t* specStart = p_++;
        if (*p_ == L'%') {
            out_ += L'%';
            ++p_;
            continue;
        }
        Spec spec;
        if (!ParseSpec(spec)) {
            out_.append(specStart, p_);
            break;
        }
        Convert(spec, specStart);
    }
    return out_;
}

bool Formatter::ParseSpec(Spec& spec) {
    while (*p_ == L'-' || *p_ == L'+' || *p_ == L' ' || *p_ == L'#' || *p_ == L'0') {
        spec.flags += static_cast<char>(*p_++);
    }
    if (*p_ == L'*') {
        ++p_;
        spec.width = va_arg(args_, int);
        if (spec.width < 0) {
            spec.flags += '-';
            spec.width = -spec.width;
        }
    } else {
        while (*p_ >= L'0' && *p_ <= L'9') {
            spec.width = (spec.width == kUnset ? 0 : spec.width * kDecimalBase) + (*p_++ - L'0');
        }
    }
    if (*p_ == L'.') {
        ++p_;
        spec.precision = 0;
        if (*p_ == L'*') {
            ++p_;
            spec.precision = va_arg(args_, int);
            if (spec.precision < 0) spec.precision = kUnset;
        } else {
            while (*p_ >= L'0' && *p_ <= L'9') spec.precision = spec.precision * kDecimalBase + (*p_++ - L'0');
        }
    }
    ParseLength(spec);
    if (*p_ == L'\0') return false;
    spec.conversion = *p_++;
    return true;
}

void Formatter::ParseLength(Spec& spec) {
    switch (*p_) {
    case L'h':
        ++p_;
        if (*p_ == L'h') {
            ++p_;
            spec.length = Length::Char;
        } else {
            spec.length = Length::Short;
        }
        return;
    case L'l':
        ++p_;
        if (*p_ == L'l') {
            ++p_;
            spec.length = Length::LongLong;
        } else {
            spec.length = Length::Long;
        }
        return;
    case L'w':
        ++p_;
        spec.length = Length::Long;  // Windows: wide text or character
        return;
    case L'L':
        ++p_;
        spec.length = Length::LongDouble;
        return;
    case L'j':
        ++p_;
        spec.length = Length::IntMax;
        return;
    case L'z':
        ++p_;
        spec.length = Length::Size;
        return;
    case L't':
        ++p_;
        spec.length = Length::PtrDiff;
        return;
    case L'I':
        ++p_;
        if (p_[0] == L'6' && p_[1] == L'4') {
            p_ += 2;
            spec.length = Length::Int64;
        } else if (p_[0] == L'3' && p_[1] == L'2') {
            p_ += 2;
            spec.length = Length::Int32;
        } else {
            spec.length = Length::Size;
        }
        return;
    default:
        return;
    }
}

void Formatter::Convert(const Spec& spec, const wchar_t* specStart) {
    switch (spec.conversion) {
    case L'd': case L'i': case L'u': case L'o': case L'x': case L'X':
        Integer(spec);
        return;
    case L'e': case L'E': case L'f': case L'F': case L'g': case L'G': case L'a': case L'A':
        Floating(spec);
        return;
    case L'p':
        Pointer(spec);
        return;
    case L's':
        Text(spec, spec.length != Length::Short);
        return;
    case L'S':
        Text(spec, spec.length == Length::Long);
        return;
    case L'c':
        Character(spec, spec.length != Length::Short);
        return;
    case L'C':
        Character(spec, spec.length == Length::Long);
        return;
    case L'n':
        // Writing through a trace argument is never wanted; the pointer is skipped.
        (void)va_arg(args_, void*);
        return;
    default:
        out_.append(specStart, p_);
        return;
    }
}

std::string NarrowSpec(const Spec& spec, const char* lengthText, char conversion) {
    std::string text = "%" + spec.flags;
    if (spec.width != kUnset) text += std::to_string(spec.width);
    if (spec.precision != kUnset) text += "." + std::to_string(spec.precision);
    text += lengthText;
    text += conversion;
    return text;
}

void Formatter::Integer(const Spec& spec) {
    const bool isSigned = spec.conversion == L'd' || spec.conversion == L'i';
    char conversion = static_cast<char>(spec.conversion);
    char buffer[kNumberBufferSize];
    std::string format = NarrowSpec(spec, "ll", conversion);
    if (isSigned) {
        long long value = 0;
        switch (spec.length) {
        case Length::Char: value = static_cast<signed char>(va_arg(args_, int)); break;
        case Length::Short: value = static_cast<short>(va_arg(args_, int)); break;
        case Length::Long: value = va_arg(args_, long); break;
        case Length::LongLong: value = va_arg(args_, long long); break;
        case Length::Int32: value = va_arg(args_, int32_t); break;
        case Length::Int64: value = va_arg(args_, int64_t); break;
        case Length::Size: case Length::PtrDiff: value = va_arg(args_, ptrdiff_t); break;
        case Length::IntMax: value = va_arg(args_, intmax_t); break;
        default: value = va_arg(args_, int); break;
        }
        std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
    } else {
        unsigned long long value = 0;
        switch (spec.length) {
        case Length::Char: value = static_cast<unsigned char>(va_arg(args_, unsigned int)); break;
        case Length::Short: value = static_cast<unsigned short>(va_arg(args_, unsigned int)); break;
        case Length::Long: value = va_arg(args_, unsigned long); break;
        case Length::LongLong: value = va_arg(args_, unsigned long long); break;
        case Length::Int32: value = va_arg(args_, uint32_t); break;
        case Length::Int64: value = va_arg(args_, uint64_t); break;
        case Length::Size: case Length::PtrDiff: value = va_arg(args_, size_t); break;
        case Length::IntMax: value = va_arg(args_, uintmax_t); break;
        default: value = va_arg(args_, unsigned int); break;
        }
        std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
    }
    AppendNarrow(buffer);
}

void Formatter::Floating(const Spec& spec) {
    char buffer[kNumberBufferSize];
    std::string format = NarrowSpec(spec, "", static_cast<char>(spec.conversion));
    double value = spec.length == Length::LongDouble ? static_cast<double>(va_arg(args_, long double))
                                                     : va_arg(args_, double);
    std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
    AppendNarrow(buffer);
}

void Formatter::Pointer(const Spec& spec) {
    // Windows shows a pointer as all its hex digits, upper case, without a prefix.
    constexpr int kDigitsPerByte = 2;
    char buffer[kNumberBufferSize];
    auto value = reinterpret_cast<uintptr_t>(va_arg(args_, void*));
    std::snprintf(buffer, sizeof(buffer), "%0*llX", static_cast<int>(sizeof(void*)) * kDigitsPerByte,
                  static_cast<unsigned long long>(value));
    Spec padding = spec;
    padding.flags.clear();
    if (spec.flags.find('-') != std::string::npos) padding.flags = "-";
    Pad(Latin1ToWide(buffer, std::strlen(buffer)), padding);
}

void Formatter::Text(const Spec& spec, bool wide) {
    std::wstring body;
    if (wide) {
        const wchar_t* text = va_arg(args_, const wchar_t*);
        body = text != nullptr ? std::wstring(text) : std::wstring(kNullText);
    } else {
        const char* text = va_arg(args_, const char*);
        body = text != nullptr ? Latin1ToWide(text, std::strlen(text)) : std::wstring(kNullText);
    }
    if (spec.precision != kUnset && body.size() > static_cast<size_t>(spec.precision)) {
        body.resize(static_cast<size_t>(spec.precision));
    }
    Pad(body, spec);
}

void Formatter::Character(const Spec& spec, bool wide) {
    // Characters travel promoted to int (a wint_t is no wider).
    int value = va_arg(args_, int);
    wchar_t ch = wide ? static_cast<wchar_t>(value)
                      : static_cast<wchar_t>(static_cast<unsigned char>(value));
    Pad(std::wstring(1, ch), spec);
}

void Formatter::Pad(const std::wstring& body, const Spec& spec) {
    size_t width = spec.width == kUnset ? 0 : static_cast<size_t>(spec.width);
    size_t fill = body.size() < width ? width - body.size() : 0;
    bool left = spec.flags.find('-') != std::string::npos;
    if (!left) out_.append(fill, L' ');
    out_ += body;
    if (left) out_.append(fill, L' ');
}

void Formatter::AppendNarrow(const char* text) {
    while (*text != '\0') out_ += static_cast<wchar_t>(static_cast<unsigned char>(*text++));
}

}  // namespace

std::wstring FormatWindowsWide(const wchar_t* format, va_list args) {
    Formatter formatter(format, args);
    return formatter.Run();
}

}  // namespace hostsim
