#include "hostsim/control/Recorder.h"

#include "j1939/Protocol.h"

namespace hostsim {
namespace {
// A module's recording keeps at most this many messages; a session left recording for
// days stops growing instead of taking the machine's memory.
constexpr size_t kMaxRecordedMessages = 1000000;
}  // namespace

uint32_t Recorder::Begin() {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint32_t recording = next_++;
    running_[recording];
    return recording;
}

bool Recorder::Add(uint32_t recording, ZModuleHandle handle, const uint8_t* message, uint16_t length,
                   uint32_t timeStamp) {
    if (message == nullptr || length < j1939::kHeaderSize) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = running_.find(recording);
    if (found == running_.end()) return false;
    std::vector<RecordedMessage>& messages = found->second[handle];
    if (messages.size() >= kMaxRecordedMessages) return false;
    messages.push_back({timeStamp, std::vector<uint8_t>(message, message + length)});
    return true;
}

std::vector<RecordedMessage> Recorder::MessagesOf(uint32_t recording, ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = running_.find(recording);
    if (found == running_.end()) return {};
    auto module = found->second.find(handle);
    return module != found->second.end() ? module->second : std::vector<RecordedMessage>{};
}

void Recorder::End(uint32_t recording) {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.erase(recording);
}

void Recorder::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.clear();
}

}  // namespace hostsim
