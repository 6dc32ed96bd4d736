#include "hostsim/control/TraceFormat.h"

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

struct Conversion {
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
    bool ParseSpec(Conversion& described);
    void ParseLength(Conversion& described);
    void Convert(const Conversion& described, const wchar_t* specStart);
    void Integer(const Conversion& described);
    void Floating(const Conversion& described);
    void Pointer(const Conversion& described);
    void Text(const Conversion& described, bool wide);
    void Character(const Conversion& described, bool wide);
    void Pad(const std::wstring& body, const Conversion& described);
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
        Conversion described;
        if (!ParseSpec(described)) {
            out_.append(specStart, p_);
            break;
        }
        Convert(described, specStart);
    }
    return out_;
}

bool Formatter::ParseSpec(Conversion& described) {
    while (*p_ == L'-' || *p_ == L'+' || *p_ == L' ' || *p_ == L'#' || *p_ == L'0') {
        described.flags += static_cast<char>(*p_++);
    }
    if (*p_ == L'*') {
        ++p_;
        described.width = va_arg(args_, int);
        if (described.width < 0) {
            described.flags += '-';
            described.width = -described.width;
        }
    } else {
        while (*p_ >= L'0' && *p_ <= L'9') {
            described.width = (described.width == kUnset ? 0 : described.width * kDecimalBase) + (*p_++ - L'0');
        }
    }
    if (*p_ == L'.') {
        ++p_;
        described.precision = 0;
        if (*p_ == L'*') {
            ++p_;
            described.precision = va_arg(args_, int);
            if (described.precision < 0) described.precision = kUnset;
        } else {
            while (*p_ >= L'0' && *p_ <= L'9') described.precision = described.precision * kDecimalBase + (*p_++ - L'0');
        }
    }
    ParseLength(described);
    if (*p_ == L'\0') return false;
    described.conversion = *p_++;
    return true;
}

void Formatter::ParseLength(Conversion& described) {
    switch (*p_) {
    case L'h':
        ++p_;
        if (*p_ == L'h') {
            ++p_;
            described.length = Length::Char;
        } else {
            described.length = Length::Short;
        }
        return;
    case L'l':
        ++p_;
        if (*p_ == L'l') {
            ++p_;
            described.length = Length::LongLong;
        } else {
            described.length = Length::Long;
        }
        return;
    case L'w':
        ++p_;
        described.length = Length::Long;  // Windows: wide text or character
        return;
    case L'L':
        ++p_;
        described.length = Length::LongDouble;
        return;
    case L'j':
        ++p_;
        described.length = Length::IntMax;
        return;
    case L'z':
        ++p_;
        described.length = Length::Size;
        return;
    case L't':
        ++p_;
        described.length = Length::PtrDiff;
        return;
    case L'I':
        ++p_;
        if (p_[0] == L'6' && p_[1] == L'4') {
            p_ += 2;
            described.length = Length::Int64;
        } else if (p_[0] == L'3' && p_[1] == L'2') {
            p_ += 2;
            described.length = Length::Int32;
        } else {
            described.length = Length::Size;
        }
        return;
    default:
        return;
    }
}

void Formatter::Convert(const Conversion& described, const wchar_t* specStart) {
    switch (described.conversion) {
    case L'd': case L'i': case L'u': case L'o': case L'x': case L'X':
        Integer(described);
        return;
    case L'e': case L'E': case L'f': case L'F': case L'g': case L'G': case L'a': case L'A':
        Floating(described);
        return;
    case L'p':
        Pointer(described);
        return;
    case L's':
        Text(described, described.length != Length::Short);
        return;
    case L'S':
        Text(described, described.length == Length::Long);
        return;
    case L'c':
        Character(described, described.length != Length::Short);
        return;
    case L'C':
        Character(described, described.length == Length::Long);
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

std::string NarrowSpec(const Conversion& described, const char* lengthText, char conversion) {
    std::string text = "%" + described.flags;
    if (described.width != kUnset) text += std::to_string(described.width);
    if (described.precision != kUnset) text += "." + std::to_string(described.precision);
    text += lengthText;
    text += conversion;
    return text;
}

void Formatter::Integer(const Conversion& described) {
    const bool isSigned = described.conversion == L'd' || described.conversion == L'i';
    char conversion = static_cast<char>(described.conversion);
    char buffer[kNumberBufferSize];
    std::string format = NarrowSpec(described, "ll", conversion);
    if (isSigned) {
        long long value = 0;
        switch (described.length) {
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
        switch (described.length) {
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

void Formatter::Floating(const Conversion& described) {
    char buffer[kNumberBufferSize];
    std::string format = NarrowSpec(described, "", static_cast<char>(described.conversion));
    double value = described.length == Length::LongDouble ? static_cast<double>(va_arg(args_, long double))
                                                     : va_arg(args_, double);
    std::snprintf(buffer, sizeof(buffer), format.c_str(), value);
    AppendNarrow(buffer);
}

void Formatter::Pointer(const Conversion& described) {
    // Windows shows a pointer as all its hex digits, upper case, without a prefix.
    constexpr int kDigitsPerByte = 2;
    char buffer[kNumberBufferSize];
    auto value = reinterpret_cast<uintptr_t>(va_arg(args_, void*));
    std::snprintf(buffer, sizeof(buffer), "%0*llX", static_cast<int>(sizeof(void*)) * kDigitsPerByte,
                  static_cast<unsigned long long>(value));
    Conversion padding = described;
    padding.flags.clear();
    if (described.flags.find('-') != std::string::npos) padding.flags = "-";
    Pad(Latin1ToWide(buffer, std::strlen(buffer)), padding);
}

void Formatter::Text(const Conversion& described, bool wide) {
    std::wstring body;
    if (wide) {
        const wchar_t* text = va_arg(args_, const wchar_t*);
        body = text != nullptr ? std::wstring(text) : std::wstring(kNullText);
    } else {
        const char* text = va_arg(args_, const char*);
        body = text != nullptr ? Latin1ToWide(text, std::strlen(text)) : std::wstring(kNullText);
    }
    if (described.precision != kUnset && body.size() > static_cast<size_t>(described.precision)) {
        body.resize(static_cast<size_t>(described.precision));
    }
    Pad(body, described);
}

void Formatter::Character(const Conversion& described, bool wide) {
    // Characters travel promoted to int (a wint_t is no wider).
    int value = va_arg(args_, int);
    wchar_t ch = wide ? static_cast<wchar_t>(value)
                      : static_cast<wchar_t>(static_cast<unsigned char>(value));
    Pad(std::wstring(1, ch), described);
}

void Formatter::Pad(const std::wstring& body, const Conversion& described) {
    size_t width = described.width == kUnset ? 0 : static_cast<size_t>(described.width);
    size_t fill = body.size() < width ? width - body.size() : 0;
    bool left = described.flags.find('-') != std::string::npos;
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
