#include "hostsim/database/RecordingFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>

#include "hostsim/database/JsonFields.h"
#include "hostsim/imports/ArgText.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

constexpr const char* kSection = "HostRecording";
constexpr const char* kLineEnd = "\r\n";
constexpr size_t kNameBytes = sizeof(J1939DecodedName);
constexpr size_t kLongestMessage = j1939::kHeaderSize + j1939::kTpMaxMessageBytes;
constexpr int kMaxChannel = 16;

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The key = value entries of the host's section, keys in lower case.
std::map<std::string, std::string> SectionEntries(std::istream& in, size_t& skipped, bool& found) {
    std::map<std::string, std::string> entries;
    bool inSection = false;
    std::string line;
    while (std::getline(in, line)) {
        line = Trimmed(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            inSection = Lower(line) == "[" + Lower(kSection) + "]";
            found = found || inSection;
            continue;
        }
        if (!inSection) continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            ++skipped;
            continue;
        }
        entries[Lower(Trimmed(line.substr(0, equals)))] = Trimmed(line.substr(equals + 1));
    }
    return entries;
}

// A decimal number of at most `limit`; nothing for other text.
std::optional<uint64_t> Number(const std::string& text, uint64_t limit) {
    if (text.empty() || text.size() > 19 || !std::all_of(text.begin(), text.end(), ::isdigit)) return std::nullopt;
    const uint64_t value = std::stoull(text);
    return value <= limit ? std::optional<uint64_t>(value) : std::nullopt;
}

std::optional<std::vector<uint8_t>> Bytes(const std::string& text, size_t longest) {
    try {
        std::vector<uint8_t> bytes = jsonfields::HexBytes(text, "", "");
        if (bytes.size() > longest) return std::nullopt;
        return bytes;
    } catch (const jsonfields::FileError&) {
        return std::nullopt;
    }
}

std::optional<RecordedMessage> MessageOf(const std::string& text) {
    const size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::nullopt;
    const auto timeStamp = Number(text.substr(0, blank), UINT32_MAX);
    const auto bytes = Bytes(text.substr(blank + 1), kLongestMessage);
    if (!timeStamp || !bytes || bytes->size() < j1939::kHeaderSize) return std::nullopt;
    return RecordedMessage{static_cast<uint32_t>(*timeStamp), *bytes};
}

}  // namespace

std::string WriteHostRecording(const std::string& path, const ModuleRecording& recording) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot write the recording file " + path;
    out << "[" << kSection << "]" << kLineEnd;
    out << "Label = " << recording.label << kLineEnd;
    out << "Address = " << static_cast<int>(recording.address) << kLineEnd;
    out << "Channel = " << recording.channel << kLineEnd;
    if (recording.hasName) {
        out << "Name = " << arg::Bytes(reinterpret_cast<const uint8_t*>(&recording.name), kNameBytes) << kLineEnd;
    }
    out << "Messages = " << recording.messages.size() << kLineEnd;
    for (size_t i = 0; i < recording.messages.size(); ++i) {
        const RecordedMessage& message = recording.messages[i];
        out << "Message[" << i << "] = " << message.timeStamp << ' '
            << arg::Bytes(message.bytes.data(), message.bytes.size()) << kLineEnd;
    }
    out.flush();
    return out ? std::string() : "cannot write the recording file " + path;
}

std::string ReadHostRecording(const std::string& path, ModuleRecording& recording) {
    recording = ModuleRecording{};
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot read the recording file " + path;
    bool found = false;
    auto entries = SectionEntries(in, recording.skippedLines, found);
    if (!found) return path + ": no [" + std::string(kSection) + "] section: not a recording of this host";

    auto take = [&entries](const char* key) {
        auto it = entries.find(key);
        if (it == entries.end()) return std::string();
        std::string value = it->second;
        entries.erase(it);
        return value;
    };
    recording.label = take("label");
    const auto address = Number(take("address"), j1939::kGlobalAddress);
    if (!address) return path + ": the recorded address is missing or not 0 to 255";
    recording.address = static_cast<uint8_t>(*address);
    recording.channel = static_cast<int>(Number(take("channel"), kMaxChannel).value_or(1));
    const std::string name = take("name");
    if (!name.empty()) {
        const auto bytes = Bytes(name, kNameBytes);
        if (bytes && bytes->size() == kNameBytes) {
            std::memcpy(&recording.name, bytes->data(), kNameBytes);
            recording.hasName = true;
        } else {
            ++recording.skippedLines;
        }
    }
    // The count says how many were written; only those present are read, in their order.
    const uint64_t count = Number(take("messages"), UINT32_MAX).value_or(0);
    std::map<uint64_t, RecordedMessage> ordered;
    constexpr const char* kMessageKey = "message[";
    const size_t keyLength = std::strlen(kMessageKey);
    for (const auto& [key, text] : entries) {
        if (key.compare(0, keyLength, kMessageKey) != 0 || key.back() != ']') continue;
        const auto index = Number(key.substr(keyLength, key.size() - keyLength - 1), UINT32_MAX);
        auto message = MessageOf(text);
        if (index && *index < count && message) {
            ordered[*index] = std::move(*message);
        } else {
            ++recording.skippedLines;
        }
    }
    for (auto& entry : ordered) recording.messages.push_back(std::move(entry.second));
    return {};
}

}  // namespace hostsim
