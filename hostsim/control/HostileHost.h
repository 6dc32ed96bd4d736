// A host that misbehaves, for tests of the plug-in's defences: every import that writes
// into a buffer of the plug-in's goes through here; the imports that hand out objects
// ask Has(kHostileNullOutputs).
// Behaviours combine; none is on after a reset.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

class HostileHost {
public:
    void Set(uint32_t behaviours) { behaviours_.store(behaviours); }
    bool Has(uint32_t behaviour) const { return (behaviours_.load() & behaviour) != 0; }

    // Copies a text as CopyText does (truncated, terminated); a host leaving texts
    // unterminated fills the buffer to its last character instead. Returns the
    // characters written.
    size_t Text(const std::wstring& text, wchar_t* buffer, size_t capacity) const;
    size_t Text(const std::string& text, char* buffer, size_t capacity) const;
    // The count or length reported for `written` items in a buffer of `capacity`: the
    // true one, or one past the buffer's end from a host that overstates its counts.
    template <typename T>
    T Count(size_t written, size_t capacity) const {
        const size_t reported = Has(kHostileOversizedCounts) ? std::max(written, capacity) + kOverstatement : written;
        return static_cast<T>(std::min<size_t>(reported, static_cast<size_t>(std::numeric_limits<T>::max())));
    }

private:
    static constexpr size_t kOverstatement = 100;

    std::atomic<uint32_t> behaviours_{0};
};

}  // namespace hostsim
