// The host's system time in milliseconds: real (monotonic, wrapping at 2^32) unless a
// test freezes it to step the plug-in's timing by hand.
#pragma once

#include <cstdint>
#include <mutex>

namespace hostsim {

class SysClock {
public:
    uint32_t Now();
    void Freeze(uint32_t milliseconds);
    void Advance(uint32_t milliseconds);
    void UseReal();

private:
    std::mutex mutex_;
    bool frozen_ = false;
    uint32_t frozenAt_ = 0;
};

}  // namespace hostsim
