#include "hostsim/bus/CandumpLog.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>

// ReadEightDigits takes the first of eight characters loaded as one word to be its lowest byte.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the candump reader reads eight digits at once as a little-endian word"
#endif

namespace hostsim {
namespace {

constexpr const char* kInterfacePrefix = "can";
constexpr size_t kInterfacePrefixLength = 3;
constexpr int64_t kMicrosPerSecond = 1000000;
constexpr size_t kMicrosDigits = 6;
// More second digits than a 64-bit count of microseconds holds is no clock's time.
constexpr std::ptrdiff_t kMaxSecondsDigits = 12;
constexpr size_t kExtendedIdDigits = 8;
constexpr size_t kStandardIdDigits = 3;
constexpr uint32_t kMaxExtendedId = 0x1FFFFFFF;
constexpr size_t kMaxClassicData = 8;
constexpr size_t kLineBufferSize = 128;
constexpr size_t kReadBlock = 64 * 1024;
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

constexpr size_t kCharValues = 256;

// Eight digits read as one 64-bit word, one byte each.
constexpr size_t kSwarDigits = 8;
static_assert(sizeof(uint64_t) == kSwarDigits, "one byte a digit");
constexpr unsigned kByteBits = 8;
constexpr uint64_t kEveryHighNibble = 0xF0F0F0F0F0F0F0F0;
constexpr uint64_t kEverySix = 0x0606060606060606;
constexpr uint64_t kEveryThree = 0x3333333333333333;
constexpr uint64_t kEveryZero = 0x3030303030303030;  // '0' in every byte
constexpr uint64_t kEveryPairLane = 0x00FF00FF00FF00FF;
constexpr uint64_t kEveryFourLane = 0x0000FFFF0000FFFF;
constexpr uint64_t kEightLane = 0x00000000FFFFFFFF;
constexpr unsigned kPairLaneBits = 16;
constexpr unsigned kFourLaneBits = 32;
constexpr uint64_t kHundred = 100;
constexpr uint64_t kTenThousand = 10000;
constexpr uint64_t kHundredMillion = 100000000;

// The value of each character as a hex digit, -1 for the others: one look-up per digit.
constexpr std::array<int8_t, kCharValues> HexDigitValues() {
    std::array<int8_t, kCharValues> values{};
    for (size_t c = 0; c < kCharValues; ++c) {
        values[c] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                    : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + kFirstHexLetterValue)
                    : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + kFirstHexLetterValue)
                                           : int8_t{-1};
    }
    return values;
}
constexpr std::array<int8_t, kCharValues> kHexDigitValues = HexDigitValues();

int HexValue(char c) { return kHexDigitValues[static_cast<unsigned char>(c)]; }

// The byte of each pair of characters as two hex digits, -1 for the others: the data of a
// frame in the log format is read one look-up per byte.
constexpr size_t kCharPairs = kCharValues * kCharValues;
using HexPairTable = std::array<int16_t, kCharPairs>;
constexpr HexPairTable HexPairValues() {
    HexPairTable values{};
    for (size_t pair = 0; pair < kCharPairs; ++pair) {
        const int high = kHexDigitValues[pair / kCharValues];
        const int low = kHexDigitValues[pair % kCharValues];
        values[pair] = (high | low) < 0 ? int16_t{-1} : static_cast<int16_t>(high << kNibbleBits | low);
    }
    return values;
}
// Built when the library loads: 65,536 entries are more steps than a compiler evaluates at compile time.
const HexPairTable kHexPairValues = HexPairValues();

int HexPairValue(const char* pair) {
    return kHexPairValues[static_cast<unsigned char>(pair[0]) * kCharValues + static_cast<unsigned char>(pair[1])];
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

size_t SkipSpaces(View line, size_t at) {
    while (at < line.size() && line[at] == ' ') ++at;
    return at;
}

size_t TokenEnd(View line, size_t at, char stop = ' ') {
    while (at < line.size() && !IsBlank(line[at]) && line[at] != stop) ++at;
    return at;
}

// Eight decimal digits at once (a log's time stamps have ten for the seconds), false when
// any of them is no digit: the characters loaded as one 64-bit word, the first in the
// lowest byte, checked all together and combined pairwise into 2-, 4- and 8-digit numbers.
bool ReadEightDigits(const char* text, uint64_t& value) {
    uint64_t word = 0;
    std::memcpy(&word, text, sizeof(word));
    // A digit has 3 as its high nibble, and so has the digit plus 6 (no carry out of 9).
    if (((word & kEveryHighNibble) | ((word + kEverySix) & kEveryHighNibble) >> kNibbleBits) != kEveryThree) {
        return false;
    }
    word -= kEveryZero;
    word = (word * kDecimalBase + (word >> kByteBits)) & kEveryPairLane;
    word = (word * kHundred + (word >> kPairLaneBits)) & kEveryFourLane;
    value = (word * kTenThousand + (word >> kFourLaneBits)) & kEightLane;
    return true;
}

// Adds the decimal digits from `next` on to `value`; where they end.
const char* ReadDigits(const char* next, const char* end, uint64_t& value) {
    // Summed in a local: a store through `value` could change the characters for all the
    // compiler knows, which would make it read and write both for every digit.
    uint64_t sum = value;
    for (; next != end; ++next) {
        const auto digit = static_cast<unsigned>(*next - '0');
        if (digit >= static_cast<unsigned>(kDecimalBase)) break;
        sum = sum * kDecimalBase + digit;
    }
    value = sum;
    return next;
}

// The time stamp after the '(' at `at`: seconds, a dot and six decimals, read as one
// number in microseconds; `at` is left past the ')'.
bool ParseTime(View line, size_t& at, int64_t& micros, std::string& error) {
    const char* const end = line.data() + line.size();
    const char* const seconds = line.data() + at;
    // The seconds eight digits at a time as far as they go (ten since 2001), then one by one.
    uint64_t value = 0;
    uint64_t eight = 0;
    const char* next = seconds;
    while (end - next >= static_cast<std::ptrdiff_t>(kSwarDigits) && ReadEightDigits(next, eight)) {
        value = value * kHundredMillion + eight;
        next += kSwarDigits;
    }
    next = ReadDigits(next, end, value);
    if (next != seconds && next - seconds <= kMaxSecondsDigits && next != end && *next == '.') {
        const char* const decimals = ++next;
        next = ReadDigits(decimals, end, value);
        if (next - decimals == static_cast<std::ptrdiff_t>(kMicrosDigits) && next != end && *next == ')') {
            at = static_cast<size_t>(next + 1 - line.data());
            micros = static_cast<int64_t>(value);
            return true;
        }
    }
    at = static_cast<size_t>(next - line.data());
    error = line.find(')', at) == View::npos ? "the time has no closing parenthesis"
                                             : "the time is not seconds with six decimals";
    return false;
}

// The identifier: eight hex digits for a 29-bit frame, three for an 11-bit one. An
// identifier with the error flag is an error frame the controller reported. It runs from
// `start` to a blank or the '#', where `end` is left.
bool ParseIdentifier(View line, size_t start, size_t& end, CandumpFrame& frame, std::string& error) {
    uint32_t raw = 0;
    size_t at = start;
    for (; at < line.size(); ++at) {
        const int value = HexValue(line[at]);
        if (value < 0) break;
        raw = raw << kNibbleBits | static_cast<uint32_t>(value);
    }
    end = TokenEnd(line, at, kDataSeparator);  // `at` itself when the digits end the token
    const size_t digits = end - start;
    if (digits != kExtendedIdDigits && digits != kStandardIdDigits) {
        error = "the identifier must have 3 or 8 hex digits";
        return false;
    }
    if (at != end) {
        error = "the identifier is not hexadecimal";
        return false;
    }
    frame.extended = digits == kExtendedIdDigits;
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
    if ((highValue | lowValue) < 0) {
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

// The common case of the log format in one pass: up to eight hex pairs that end the
// token. False, with nothing kept, for anything else.
bool ReadHexPairs(View line, size_t start, CandumpFrame& frame) {
    const size_t pairs = std::min((line.size() - start) / kHexDigitsPerByte, kMaxClassicData);
    const char* const text = line.data() + start;
    const char* const end = text + pairs * kHexDigitsPerByte;
    uint8_t bytes[kMaxClassicData];
    uint8_t* byte = bytes;
    const char* next = text;
    for (; next != end; next += kHexDigitsPerByte) {
        const int value = HexPairValue(next);
        if (value < 0) break;
        *byte++ = static_cast<uint8_t>(value);
    }
    const size_t at = start + static_cast<size_t>(next - text);
    if (at < line.size() && !IsBlank(line[at])) return false;
    const auto count = static_cast<size_t>(byte - bytes);
    frame.frame.data.assign(bytes, bytes + count);
    return true;
}

// Log format: the data follows the '#' as hex pairs, "R" for a remote frame.
bool ParseLogData(View line, size_t start, CandumpFrame& frame, std::string& error) {
    if (ReadHexPairs(line, start, frame)) return true;
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
    size_t at = start + 1;
    if (!ParseTime(line, at, frame.timeMicros, error)) return false;
    // The fields apart by spaces; the interface's name is any text up to the next space.
    const size_t nameStart = SkipSpaces(line, at);
    size_t nameEnd = nameStart;
    while (nameEnd < line.size() && line[nameEnd] != ' ') ++nameEnd;
    if (nameStart == line.size() || nameEnd == line.size()) {
        error = "the interface or the frame is missing";
        return false;
    }
    const View name = line.substr(nameStart, nameEnd - nameStart);
    if (name != frame.interfaceName) frame.interfaceName.assign(name);
    const size_t idStart = SkipSpaces(line, nameEnd);
    if (idStart == line.size()) {
        error = "the frame is missing";
        return false;
    }
    size_t idEnd = idStart;
    if (!ParseIdentifier(line, idStart, idEnd, frame, error)) return false;
    const bool logFormat = idEnd < line.size() && line[idEnd] == kDataSeparator;
    return logFormat ? ParseLogData(line, idEnd + 1, frame, error) : ParseConsoleData(line, idEnd, frame, error);
}

std::string CandumpReader::Open(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return "the bus log " + path + " is a folder, not a file";
    file_.open(path, std::ios::in | std::ios::binary);
    if (!file_) return "cannot open the bus log " + path;
    // Not zeroed: only what the file fills is read.
    buffer_.reset(new char[kReadBlock]);
    return {};
}

bool CandumpReader::Refill() {
    file_.read(buffer_.get(), static_cast<std::streamsize>(kReadBlock));
    filled_ = static_cast<size_t>(file_.gcount());
    start_ = 0;
    return filled_ > 0;
}

bool CandumpReader::NextLine(std::string_view& line) {
    if (lineInCarry_) {
        carry_.clear();
        lineInCarry_ = false;
    }
    for (;;) {
        const char* begin = buffer_.get() + start_;
        const size_t available = filled_ - start_;
        const void* newline = std::memchr(begin, '\n', available);
        if (newline != nullptr) {
            const auto length = static_cast<size_t>(static_cast<const char*>(newline) - begin);
            start_ += length + 1;
            if (carry_.empty()) {
                line = View(begin, length);
                return true;
            }
            carry_.append(begin, length);
            break;
        }
        // A line that runs past the block is put together in carry_.
        carry_.append(begin, available);
        start_ = filled_;
        if (!Refill()) {
            if (carry_.empty()) return false;
            break;
        }
    }
    line = carry_;
    lineInCarry_ = true;
    return true;
}

const CandumpFrame* CandumpReader::Next() {
    // Lines are read in place from a block of the file; the frame and its data keep their
    // storage from one line to the next.
    View line;
    while (NextLine(line)) {
        ++lines_;
        if (ParseCandumpLine(line, frame_, error_)) return &frame_;
        if (!error_.empty()) {
            if (malformed_++ == 0) firstError_ = "line " + std::to_string(lines_) + ": " + error_;
        }
    }
    return nullptr;
}

}  // namespace hostsim
