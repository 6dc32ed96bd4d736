// The host's trace sources and the lines written to them. Lines are kept for tests and,
// with HOSTSIM_TRACE=1 in the environment, echoed to standard error as they come.
#pragma once

#include <mutex>
#include <set>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class TraceSink {
public:
    ZTraceId Open();
    // False when the id is not open.
    bool Close(ZTraceId traceId);
    std::vector<ZTraceId> OpenIds();
    void Write(TraceLine line);
    std::vector<TraceLine> Lines();
    void ClearLines();
    void Reset();

private:
    static constexpr ZTraceId kFirstTraceId = 1;

    std::mutex mutex_;
    ZTraceId nextId_ = kFirstTraceId;
    std::set<ZTraceId> open_;
    std::vector<TraceLine> lines_;
};

}  // namespace hostsim
