#include "VehicleApp/recording/FileAccess.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <cstdint>
#include <memory>

namespace marl {
namespace {

constexpr char32_t kReplacement = U'?';
constexpr char32_t kLastCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSurrogateLast = 0xDFFF;
// Files are read in pieces of a page: INI files are small, and the reads of one are many.
constexpr size_t kReadChunk = 4096;

// UTF-8 lead bytes and the bits they carry.
constexpr unsigned kContinuationMask = 0xC0, kContinuation = 0x80;
constexpr unsigned kTwoByteLead = 0xC0, kThreeByteLead = 0xE0, kFourByteLead = 0xF0;
constexpr char32_t kOneByteLimit = 0x80, kTwoByteLimit = 0x800, kThreeByteLimit = 0x10000;

bool Valid(char32_t c) { return c <= kLastCodePoint && (c < kSurrogateFirst || c > kSurrogateLast); }

void Append(std::string& out, char32_t c) {
    if (!Valid(c)) c = kReplacement;
    if (c < kOneByteLimit) {
        out += static_cast<char>(c);
    } else if (c < kTwoByteLimit) {
        out += static_cast<char>(kTwoByteLead | (c >> 6));
        out += static_cast<char>(kContinuation | (c & 0x3F));
    } else if (c < kThreeByteLimit) {
        out += static_cast<char>(kThreeByteLead | (c >> 12));
        out += static_cast<char>(kContinuation | ((c >> 6) & 0x3F));
        out += static_cast<char>(kContinuation | (c & 0x3F));
    } else {
        out += static_cast<char>(kFourByteLead | (c >> 18));
        out += static_cast<char>(kContinuation | ((c >> 12) & 0x3F));
        out += static_cast<char>(kContinuation | ((c >> 6) & 0x3F));
        out += static_cast<char>(kContinuation | (c & 0x3F));
    }
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
        // A 16-bit wchar_t carries characters beyond the first plane as surrogate pairs.
        if (sizeof(wchar_t) == 2 && c >= kSurrogateFirst && c < kLowSurrogateFirst && i + 1 < text.size()) {
            const auto low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i + 1]));
            if (low >= kLowSurrogateFirst && low <= kSurrogateLast) {
                c = kThreeByteLimit + ((c - kSurrogateFirst) << 10) + (low - kLowSurrogateFirst);
                ++i;
            }
        }
        Append(out, c);
    }
    return out;
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring out;
    size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        size_t more = 0;
        char32_t c = lead;
        if (lead >= kFourByteLead) {
            more = 3;
            c = lead & 0x07;
        } else if (lead >= kThreeByteLead) {
            more = 2;
            c = lead & 0x0F;
        } else if (lead >= kTwoByteLead) {
            more = 1;
            c = lead & 0x1F;
        } else if (lead >= kOneByteLimit) {
            c = kReplacement;  // a continuation byte without its lead
        }
        for (; more > 0; --more) {
            if (i >= text.size() || (static_cast<unsigned char>(text[i]) & kContinuationMask) != kContinuation) {
                c = kReplacement;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
        }
        // Characters a 16-bit wchar_t cannot hold in one unit are not expected in INI texts.
        if (!Valid(c) || (sizeof(wchar_t) == 2 && c >= kThreeByteLimit)) c = kReplacement;
        out += static_cast<wchar_t>(c);
    }
    return out;
}

FilePtr OpenFile(const wchar_t* path, const char* mode) {
    if (path == nullptr || mode == nullptr) return nullptr;
#ifdef _WIN32
    std::wstring wideMode;
    for (const char* m = mode; *m != '\0'; ++m) wideMode += static_cast<wchar_t>(*m);
    return FilePtr(_wfopen(path, wideMode.c_str()));
#else
    return FilePtr(std::fopen(WideToUtf8(path).c_str(), mode));
#endif
}

#ifdef _WIN32
bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
    bytes.clear();
    FilePtr file = OpenFile(path, "rb");
    if (!file) return false;
    char chunk[kReadChunk];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, kReadChunk, file.get())) > 0) bytes.append(chunk, got);
    if (std::ferror(file.get()) != 0) {
        bytes.clear();
        return false;
    }
    return true;
}
#else
bool ReadWholeFile(const wchar_t* path, std::string& bytes) {
    bytes.clear();
    return path != nullptr && ReadWholeNativeFile(WideToUtf8(path), bytes);
}

// With the system's calls rather than a stream: an INI file read value by value is read
// hundreds of times, and the stream's set-up costs more than the reading.
bool ReadWholeNativeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && status.st_size > 0) bytes.reserve(static_cast<size_t>(status.st_size));
    char chunk[kReadChunk];
    bool failed = false;
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof(chunk));
        if (got > 0) {
            bytes.append(chunk, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            failed = got < 0;
            break;
        }
    }
    ::close(fd);
    if (failed) bytes.clear();
    return !failed;
}
#endif

bool ReplaceFileContent(const wchar_t* path, const std::string& bytes) {
    FilePtr file = OpenFile(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace marl
