#include "hostsim/bus/CandumpLog.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace hostsim {
namespace {

constexpr const char* kInterfacePrefix = "can";
constexpr size_t kInterfacePrefixLength = 3;
constexpr int64_t kMicrosPerSecond = 1000000;
constexpr size_t kMicrosDigits = 6;
constexpr size_t kMaxSecondsDigits = 12;
constexpr size_t kExtendedIdDigits = 8;
constexpr size_t kStandardIdDigits = 3;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
constexpr size_t kMaxClassicData = 8;
constexpr size_t kLineBufferSize = 128;
constexpr char kDataSeparator = '#';
constexpr char kComment = ';';
constexpr unsigned kNibbleBits = 4;
constexpr int kHexBase = 16;
constexpr size_t kHexDigitsPerByte = 2;
constexpr int kDecimalBase = 10;
constexpr int kFirstHexLetterValue = 10;
constexpr uint8_t kNibbleMask = 0xF;
constexpr uint32_t kErrorFrameFlag = 0x20000000;
constexpr char kRemoteMark = 'R';
constexpr const char* kRemoteWord = "remote";
constexpr size_t kShortestLengthToken = 3;  // "[n]"

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + kFirstHexLetterValue;
    if (c >= 'A' && c <= 'F') return c - 'A' + kFirstHexLetterValue;
    return -1;
}

bool ParseTime(const std::string& text, int64_t& micros) {
    size_t dot = text.find('.');
    // More second digits than a 64-bit count of microseconds holds is no clock's time.
    if (dot == std::string::npos || dot == 0 || dot > kMaxSecondsDigits || text.size() - dot - 1 != kMicrosDigits)
        return false;
    int64_t seconds = 0;
    int64_t fraction = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == dot) continue;
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        int64_t& part = i < dot ? seconds : fraction;
        part = part * kDecimalBase + (text[i] - '0');
    }
    micros = seconds * kMicrosPerSecond + fraction;
    return true;
}

// The identifier: eight hex digits for a 29-bit frame, three for an 11-bit one. An
// identifier with the error flag is an error frame the controller reported.
bool ParseIdentifier(const std::string& id, CandumpFrame& frame, std::string& error) {
    if (id.size() != kExtendedIdDigits && id.size() != kStandardIdDigits) {
        error = "the identifier must have 3 or 8 hex digits";
        return false;
    }
    for (char c : id) {
        if (HexValue(c) < 0) {
            error = "the identifier is not hexadecimal";
            return false;
        }
    }
    frame.extended = id.size() == kExtendedIdDigits;
    const auto raw = static_cast<uint32_t>(std::strtoul(id.c_str(), nullptr, kHexBase));
    if (frame.extended && (raw & kErrorFrameFlag) != 0) {
        frame.kind = CandumpFrame::Kind::Error;
        frame.frame.id = raw & kMaxExtendedId;
        return true;
    }
    if (raw > kMaxExtendedId) {
        error = "the identifier is wider than 29 bits";
        return false;
    }
    frame.frame.id = raw;
    return true;
}

bool AppendByte(char high, char low, CandumpFrame& frame, std::string& error) {
    const int highValue = HexValue(high);
    const int lowValue = HexValue(low);
    if (highValue < 0 || lowValue < 0) {
        error = "the data is not hexadecimal";
        return false;
    }
    frame.frame.data.push_back(static_cast<uint8_t>((highValue << kNibbleBits) | lowValue));
    return true;
}

// Log format: the data follows the '#' as hex pairs, "R" for a remote frame.
bool ParseLogData(const std::string& line, size_t start, CandumpFrame& frame, std::string& error) {
    const size_t end = line.find_first_of(" \t\r\n", start);
    const std::string data = line.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!data.empty() && data[0] == kRemoteMark) {
        frame.kind = CandumpFrame::Kind::Remote;
        return true;
    }
    if (!data.empty() && data[0] == kDataSeparator) {
        error = "CAN FD frames are not J1939 frames";
        return false;
    }
    if (data.size() % kHexDigitsPerByte != 0 || data.size() / kHexDigitsPerByte > kMaxClassicData) {
        error = "the data must be up to eight bytes in hex pairs";
        return false;
    }
    for (size_t i = 0; i < data.size(); i += kHexDigitsPerByte) {
        if (!AppendByte(data[i], data[i + 1], frame, error)) return false;
    }
    return true;
}

// Console format: "[n]" and n bytes as hex pairs apart, or "remote request".
bool ParseConsoleData(const std::string& line, size_t start, CandumpFrame& frame, std::string& error) {
    std::istringstream rest(line.substr(start));
    std::string token;
    rest >> token;
    if (token.size() < kShortestLengthToken || token.front() != '[' || token.back() != ']') {
        error = "the frame has neither '#' nor a length in brackets";
        return false;
    }
    // A classic frame's length is one digit, 0 to 8.
    const char digit = token[1];
    if (token.size() != kShortestLengthToken || digit < '0' || static_cast<size_t>(digit - '0') > kMaxClassicData) {
        error = "the length must be 0 to 8";
        return false;
    }
    const auto length = static_cast<size_t>(digit - '0');
    std::string next;
    rest >> next;
    if (next == kRemoteWord) {
        frame.kind = CandumpFrame::Kind::Remote;
        return true;
    }
    for (size_t i = 0; i < length; ++i) {
        if (next.size() != kHexDigitsPerByte) {
            error = "the data must be as many hex pairs as the length says";
            return false;
        }
        if (!AppendByte(next[0], next[1], frame, error)) return false;
        next.clear();
        rest >> next;
    }
    // Error frames end with the controller's explanation, data frames at most with the
    // data as ASCII in quotes.
    if (frame.kind == CandumpFrame::Kind::Data && !next.empty() && next[0] != '\'') {
        error = "more data bytes than the length says";
        return false;
    }
    return true;
}

}  // namespace

std::string InterfaceOfChannel(int channel) { return kInterfacePrefix + std::to_string(channel - 1); }

int ChannelOfInterface(const std::string& interfaceName) {
    if (interfaceName.compare(0, kInterfacePrefixLength, kInterfacePrefix) != 0 ||
        interfaceName.size() == kInterfacePrefixLength) {
        return 0;
    }
    int index = 0;
    for (size_t i = kInterfacePrefixLength; i < interfaceName.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(interfaceName[i]))) return 0;
        index = index * kDecimalBase + (interfaceName[i] - '0');
    }
    return index + 1;
}

std::string FormatCandumpLine(const CandumpFrame& frame) {
    // The time alone goes through a fixed buffer; the interface name may be any length.
    char time[kLineBufferSize];
    std::snprintf(time, sizeof(time), "(%lld.%06lld) ", static_cast<long long>(frame.timeMicros / kMicrosPerSecond),
                  static_cast<long long>(frame.timeMicros % kMicrosPerSecond));
    // An error frame keeps its flag in the identifier, a remote frame its mark, so that a
    // log written back reads as the same frames.
    const bool error = frame.kind == CandumpFrame::Kind::Error;
    char id[kLineBufferSize];
    std::snprintf(id, sizeof(id), frame.extended || error ? "%08X#" : "%03X#",
                  static_cast<unsigned>(error ? frame.frame.id | kErrorFrameFlag : frame.frame.id));
    static const char kHex[] = "0123456789ABCDEF";
    std::string line = time + frame.interfaceName + ' ' + id;
    if (frame.kind == CandumpFrame::Kind::Remote) return line + kRemoteMark;
    for (uint8_t byte : frame.frame.data) {
        line += kHex[byte >> kNibbleBits];
        line += kHex[byte & kNibbleMask];
    }
    return line;
}

std::optional<CandumpFrame> ParseCandumpLine(const std::string& line, std::string& error) {
    error.clear();
    size_t start = line.find_first_not_of(" \t\r\n");
    if (start == std::string::npos || line[start] == kComment) return std::nullopt;
    if (line[start] != '(') {
        error = "a line must begin with the time in parentheses";
        return std::nullopt;
    }
    size_t close = line.find(')', start);
    if (close == std::string::npos) {
        error = "the time has no closing parenthesis";
        return std::nullopt;
    }
    CandumpFrame frame;
    if (!ParseTime(line.substr(start + 1, close - start - 1), frame.timeMicros)) {
        error = "the time is not seconds with six decimals";
        return std::nullopt;
    }
    size_t nameStart = line.find_first_not_of(' ', close + 1);
    size_t nameEnd = nameStart == std::string::npos ? std::string::npos : line.find(' ', nameStart);
    if (nameEnd == std::string::npos) {
        error = "the interface or the frame is missing";
        return std::nullopt;
    }
    frame.interfaceName = line.substr(nameStart, nameEnd - nameStart);
    size_t idStart = line.find_first_not_of(' ', nameEnd);
    size_t idEnd = idStart == std::string::npos ? std::string::npos : line.find_first_of(" \t#", idStart);
    if (idEnd == std::string::npos && idStart != std::string::npos) idEnd = line.size();
    if (idStart == std::string::npos || !ParseIdentifier(line.substr(idStart, idEnd - idStart), frame, error)) {
        if (error.empty()) error = "the frame is missing";
        return std::nullopt;
    }
    const bool logFormat = idEnd < line.size() && line[idEnd] == kDataSeparator;
    if (!(logFormat ? ParseLogData(line, idEnd + 1, frame, error) : ParseConsoleData(line, idEnd, frame, error))) {
        return std::nullopt;
    }
    return frame;
}

std::string CandumpReader::Open(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "the bus log " + path + " is a folder, not a file";
    file_.open(path, std::ios::in | std::ios::binary);
    if (!file_) return "cannot open the bus log " + path;
    return {};
}

std::optional<CandumpFrame> CandumpReader::Next() {
    std::string line;
    std::string error;
    while (std::getline(file_, line)) {
        ++lines_;
        auto frame = ParseCandumpLine(line, error);
        if (frame) return frame;
        if (!error.empty()) {
            if (malformed_++ == 0) firstError_ = "line " + std::to_string(lines_) + ": " + error;
        }
    }
    return std::nullopt;
}

}  // namespace hostsim
