// The plug-in's trace source at the host. Lines go to the host's trace output with the
// trace id, a level (2 failures, 7 progress), the result being reported and a wide
// format whose first %s is the method text, e.g. "CVehicleApp::CheckHandle (Line 2042)".
#pragma once

#include <atomic>
#include <cstdint>

#include "host/ZorvLookup.h"

namespace marl {

constexpr int32_t kTraceFailure = zorv::kTraceLevelFailure;
constexpr int32_t kTraceProgress = zorv::kTraceLevelProgress;
constexpr uint16_t kNoTraceId = 0xFFFF;

class HostTrace {
public:
    // Looks up open, close, output and the fourth trace function in that order, keeping
    // each and stopping at the first the host does not have; when all four are there,
    // opens the trace source for the ECU. Returns true when all four were found.
    bool LookUpAndOpen(uint8_t ecuAddress);
    // Closes the trace source when the close function was found.
    void Close();

    template <typename... Args>
    void Write(int32_t level, uint16_t code, const wchar_t* format, Args... args) const {
        zorv::TraceOutputFn output = output_.load();
        if (output != nullptr) output(traceId_.load(), level, code, format, args...);
    }

    uint16_t TraceId() const { return traceId_.load(); }

private:
    std::atomic<zorv::OpenTraceSourceFn> open_{nullptr};
    std::atomic<zorv::CloseTraceSourceFn> close_{nullptr};
    std::atomic<zorv::TraceOutputFn> output_{nullptr};
    std::atomic<void*> reserved_{nullptr};
    std::atomic<uint16_t> traceId_{kNoTraceId};
};

}  // namespace marl
