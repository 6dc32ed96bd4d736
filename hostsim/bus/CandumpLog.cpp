#include "hostsim/bus/CandumpLog.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace hostsim {
namespace {

constexpr const char* kInterfacePrefix = "can";
constexpr size_t kInterfacePrefixLength = 3;
constexpr int64_t kMicrosPerSecond = 1000000;
constexpr size_t kMicrosDigits = 6;
constexpr size_t kExtendedIdDigits = 8;
constexpr size_t kStandardIdDigits = 3;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
constexpr size_t kMaxClassicData = 8;
constexpr size_t kLineBufferSize = 128;
constexpr char kDataSeparator = '#';
constexpr char kComment = ';';
constexpr unsigned kNibbleBits = 4;
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

using View = std::string_view;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where the blanks from `at` end, and where the token from `at` ends (at a blank, or at
// `stop`); the line's size when nothing ends them. Plain loops: the library's searches
// for one of a set of characters cost several times more on a bus log's short lines.
size_t SkipBlanks(View line, size_t at) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    return at;
}

size_t TokenEnd(View line, size_t at, char stop = ' ') {
    while (at < line.size() && !IsBlank(line[at]) && line[at] != stop) ++at;
    return at;
}

bool ParseTime(View text, int64_t& micros) {
    size_t dot = text.find('.');
    if (dot == View::npos || dot == 0 || text.size() - dot - 1 != kMicrosDigits) return false;
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
bool ParseIdentifier(View id, CandumpFrame& frame, std::string& error) {
    if (id.size() != kExtendedIdDigits && id.size() != kStandardIdDigits) {
        error = "the identifier must have 3 or 8 hex digits";
        return false;
    }
    uint32_t raw = 0;
    for (char c : id) {
        const int value = HexValue(c);
        if (value < 0) {
            error = "the identifier is not hexadecimal";
            return false;
        }
        raw = raw << kNibbleBits | static_cast<uint32_t>(value);
    }
    frame.extended = id.size() == kExtendedIdDigits;
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

// The next token after `at` (blanks apart); empty at the end of the line.
View NextToken(View line, size_t& at) {
    const size_t start = SkipBlanks(line, at);
    at = TokenEnd(line, start);
    return line.substr(start, at - start);
}

// Log format: the data follows the '#' as hex pairs, "R" for a remote frame.
bool ParseLogData(View line, size_t start, CandumpFrame& frame, std::string& error) {
    const View data = line.substr(start, TokenEnd(line, start) - start);
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
bool ParseConsoleData(View line, size_t start, CandumpFrame& frame, std::string& error) {
    size_t at = start;
    const View token = NextToken(line, at);
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
    View next = NextToken(line, at);
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
        next = NextToken(line, at);
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
    char head[kLineBufferSize];
    long long seconds = static_cast<long long>(frame.timeMicros / kMicrosPerSecond);
    long long micros = static_cast<long long>(frame.timeMicros % kMicrosPerSecond);
    if (frame.extended) {
        std::snprintf(head, sizeof(head), "(%lld.%06lld) %s %08X#", seconds, micros, frame.interfaceName.c_str(),
                      static_cast<unsigned>(frame.frame.id));
    } else {
        std::snprintf(head, sizeof(head), "(%lld.%06lld) %s %03X#", seconds, micros, frame.interfaceName.c_str(),
                      static_cast<unsigned>(frame.frame.id));
    }
    static const char kHex[] = "0123456789ABCDEF";
    std::string line = head;
    for (uint8_t byte : frame.frame.data) {
        line += kHex[byte >> kNibbleBits];
        line += kHex[byte & kNibbleMask];
    }
    return line;
}

std::optional<CandumpFrame> ParseCandumpLine(const std::string& line, std::string& error) {
    CandumpFrame frame;
    if (!ParseCandumpLine(View(line), frame, error)) return std::nullopt;
    return frame;
}

bool ParseCandumpLine(View line, CandumpFrame& frame, std::string& error) {
    error.clear();
    frame.frame.data.clear();
    frame.kind = CandumpFrame::Kind::Data;
    size_t start = SkipBlanks(line, 0);
    if (start == line.size() || line[start] == kComment) return false;
    if (line[start] != '(') {
        error = "a line must begin with the time in parentheses";
        return false;
    }
    size_t close = line.find(')', start);
    if (close == View::npos) {
        error = "the time has no closing parenthesis";
        return false;
    }
    if (!ParseTime(line.substr(start + 1, close - start - 1), frame.timeMicros)) {
        error = "the time is not seconds with six decimals";
        return false;
    }
    size_t nameStart = line.find_first_not_of(' ', close + 1);
    size_t nameEnd = nameStart == View::npos ? View::npos : line.find(' ', nameStart);
    if (nameEnd == View::npos) {
        error = "the interface or the frame is missing";
        return false;
    }
    frame.interfaceName.assign(line.substr(nameStart, nameEnd - nameStart));
    size_t idStart = line.find_first_not_of(' ', nameEnd);
    size_t idEnd = idStart == View::npos ? View::npos : TokenEnd(line, idStart, kDataSeparator);
    if (idStart == View::npos || !ParseIdentifier(line.substr(idStart, idEnd - idStart), frame, error)) {
        if (error.empty()) error = "the frame is missing";
        return false;
    }
    const bool logFormat = idEnd < line.size() && line[idEnd] == kDataSeparator;
    return logFormat ? ParseLogData(line, idEnd + 1, frame, error) : ParseConsoleData(line, idEnd, frame, error);
}

std::string CandumpReader::Open(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "the bus log " + path + " is a folder, not a file";
    file_.open(path, std::ios::in | std::ios::binary);
    if (!file_) return "cannot open the bus log " + path;
    return {};
}

const CandumpFrame* CandumpReader::Next() {
    // The line, the frame and its data keep their storage from one line to the next.
    while (std::getline(file_, line_)) {
        ++lines_;
        if (ParseCandumpLine(View(line_), frame_, error_)) return &frame_;
        if (!error_.empty()) {
            if (malformed_++ == 0) firstError_ = "line " + std::to_string(lines_) + ": " + error_;
        }
    }
    return nullptr;
}

}  // namespace hostsim
