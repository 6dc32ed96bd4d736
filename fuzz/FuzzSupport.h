// What the fuzz programs share: a reader that cuts one input into the pieces a target
// needs (header only, for the programs without the plug-in), and in FuzzSupport.cpp the
// plug-in's entries as the host reaches them, a scratch file per process, and
// modules registered in playback (nothing waits on the bus) with the stand-in host behind.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/ZorvPlugin.h"

namespace marl::fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return offset_ >= size_; }
    uint8_t Byte() { return Empty() ? 0 : data_[offset_++]; }
    uint32_t Word() { return Byte() | Byte() << 8 | Byte() << 16 | static_cast<uint32_t>(Byte()) << 24; }
    // A length byte, then up to that many bytes (fewer when the input ends first).
    std::vector<uint8_t> Chunk() {
        const size_t length = std::min<size_t>(Byte(), size_ - std::min(offset_, size_));
        return Take(length);
    }
    std::vector<uint8_t> Rest() { return Take(size_ - std::min(offset_, size_)); }

private:
    std::vector<uint8_t> Take(size_t length) {
        std::vector<uint8_t> bytes(data_ + offset_, data_ + offset_ + length);
        offset_ += length;
        return bytes;
    }

    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
};

void* EntryAddress(uint32_t id);
template <typename Fn>
Fn Entry(uint32_t id) {
    return reinterpret_cast<Fn>(EntryAddress(id));
}

// A file of this process under /dev/shm (else the temp folder), named after `tag`.
std::string ScratchPath(const char* tag);
void WriteFile(const std::string& path, const uint8_t* data, size_t size);

struct FuzzModule {
    int32_t handle;
    uint8_t address;
};
// The host reset to playback; each module registered and restored from a recording that
// names only its address, and completed. False when a step failed.
bool RegisterPlaybackModules(const std::vector<FuzzModule>& modules);
// Empties the host's call log and traces, which would otherwise grow with every input.
void ForgetHostLogs();

}  // namespace marl::fuzz
