// The data of one CAN frame: at most eight bytes, kept inline, so that a frame read from a
// bus log or handed to the transport reassembly is copied without touching the heap. A
// longer byte sequence given to it keeps its first eight bytes: a classic CAN frame
// carries no more.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "j1939/Protocol.h"

namespace hostsim {

class FrameData {
public:
    static constexpr size_t kCapacity = j1939::kSingleFrameBytes;

    FrameData() = default;
    FrameData(std::initializer_list<uint8_t> bytes) { assign(bytes.begin(), bytes.end()); }
    FrameData(const std::vector<uint8_t>& bytes) { assign(bytes.data(), bytes.data() + bytes.size()); }

    void assign(const uint8_t* first, const uint8_t* last) {
        size_ = std::min(static_cast<size_t>(last - first), kCapacity);
        std::copy_n(first, size_, bytes_.begin());
    }
    // False, with nothing added, when the frame is full.
    bool push_back(uint8_t byte) {
        if (size_ == kCapacity) return false;
        bytes_[size_++] = byte;
        return true;
    }
    void clear() { size_ = 0; }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    uint8_t* data() { return bytes_.data(); }
    const uint8_t* data() const { return bytes_.data(); }
    const uint8_t* begin() const { return bytes_.data(); }
    const uint8_t* end() const { return bytes_.data() + size_; }
    uint8_t& operator[](size_t index) { return bytes_[index]; }
    uint8_t operator[](size_t index) const { return bytes_[index]; }
    std::vector<uint8_t> ToVector() const { return {begin(), end()}; }

    bool operator==(const FrameData& other) const {
        return size_ == other.size_ && std::equal(begin(), end(), other.begin());
    }

private:
    std::array<uint8_t, kCapacity> bytes_{};
    size_t size_ = 0;
};

}  // namespace hostsim
