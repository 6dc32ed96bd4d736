// Messages on their way to the plug-in, already in the host's layout (PGN, priority,
// source, destination, data) one after another in one byte buffer, each with where it
// goes. The receive thread's queue is one of these: a message is copied once, from the bus
// into the batch, and handed to ParseMessage from there. The buffer only grows and
// clearing keeps it, so batches that are filled, swapped and emptied over and over stop
// allocating once grown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/bus/J1939Message.h"

namespace hostsim {

class MessageBatch {
public:
    struct Entry {
        int channel = 0;           // to every connection of the channel that takes the source
        ZModuleHandle handle = 0;  // non-zero: to this module only, at timeStamp
        uint32_t timeStamp = 0;
        size_t offset = 0;  // of the host layout in the buffer
        uint16_t length = 0;
    };

    void Add(int channel, ZModuleHandle handle, uint32_t timeStamp, const J1939Message& message);
    // Appends every message of `other`, which is left as it is.
    void Append(const MessageBatch& other);
    void Swap(MessageBatch& other) noexcept;
    void Clear();

    size_t Size() const { return entries_.size(); }
    bool Empty() const { return entries_.empty(); }
    const Entry& At(size_t index) const { return entries_[index]; }
    const uint8_t* Bytes(const Entry& entry) const { return bytes_.data() + entry.offset; }

private:
    // Where `count` more bytes go, the buffer grown to take them.
    uint8_t* Room(size_t count);

    std::vector<uint8_t> bytes_;  // the first used_ bytes hold the messages
    size_t used_ = 0;
    std::vector<Entry> entries_;
};

}  // namespace hostsim
