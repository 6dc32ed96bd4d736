#include "hostsim/control/TraceSink.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace hostsim {
namespace {

bool EchoWanted() {
    const char* value = std::getenv("HOSTSIM_TRACE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

ZTraceId TraceSink::Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    ZTraceId id = nextId_++;
    open_.insert(id);
    return id;
}

bool TraceSink::Close(ZTraceId traceId) {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_.erase(traceId) != 0;
}

std::vector<ZTraceId> TraceSink::OpenIds() {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::vector<ZTraceId>(open_.begin(), open_.end());
}

void TraceSink::Write(TraceLine line) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (EchoWanted()) {
        std::fprintf(stderr, "[trace %u L%d C%u] %s\n", static_cast<unsigned>(line.traceId), line.level,
                     static_cast<unsigned>(line.code), line.text.c_str());
    }
    lines_.push_back(std::move(line));
}

std::vector<TraceLine> TraceSink::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

void TraceSink::ClearLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    decltype(lines_)().swap(lines_);
}

void TraceSink::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    nextId_ = kFirstTraceId;
    open_.clear();
    lines_.clear();
}

}  // namespace hostsim
