#include "hostsim/bus/MessageBatch.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace hostsim {

uint8_t* MessageBatch::Room(size_t count) {
    if (used_ + count > bytes_.size()) bytes_.resize(std::max(used_ + count, bytes_.size() * 2));
    uint8_t* const room = bytes_.data() + used_;
    used_ += count;
    return room;
}

void MessageBatch::Add(int channel, ZModuleHandle handle, uint32_t timeStamp, const J1939Message& message) {
    const size_t offset = used_;
    const size_t length = HostLayoutSize(message);
    WriteHostLayout(message, Room(length));
    entries_.push_back(Entry{channel, handle, timeStamp, offset, static_cast<uint16_t>(length)});
}

void MessageBatch::Append(const MessageBatch& other) {
    const size_t base = used_;
    if (other.used_ != 0) std::memcpy(Room(other.used_), other.bytes_.data(), other.used_);
    for (Entry entry : other.entries_) {
        entry.offset += base;
        entries_.push_back(entry);
    }
}

void MessageBatch::Swap(MessageBatch& other) noexcept {
    bytes_.swap(other.bytes_);
    std::swap(used_, other.used_);
    entries_.swap(other.entries_);
}

void MessageBatch::Clear() {
    used_ = 0;
    entries_.clear();
}

}  // namespace hostsim
