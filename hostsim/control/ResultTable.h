// Results a test forces on host functions, by function name: a lasting one and a queue
// of one-call results in front of it, and one failure at the n-th call of any function
// (a host failing wherever it fails). A forced non-zero result makes the function fail
// without writing its out values; 0 lets it answer from the host's data.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace hostsim {

class ResultTable {
public:
    void Set(const std::string& function, int32_t result);
    void Queue(const std::string& function, const std::vector<int32_t>& results);
    void Clear(const std::string& function);
    // The call that many calls from now (1: the next one) fails with `result`, whatever
    // function it is; 0 calls: none does.
    void FailCallNumber(uint32_t calls, int32_t result);
    // The function whose call failed so, empty until one did.
    std::string FailedCall();
    // The result for the next call of a function (consumes a queued one), 0 when none.
    int32_t Take(const std::string& function);
    void Reset();

private:
    std::mutex mutex_;
    std::map<std::string, int32_t> lasting_;
    std::map<std::string, std::deque<int32_t>> queued_;
    uint32_t callsToFailure_ = 0;
    int32_t failure_ = 0;
    std::string failedCall_;
};

}  // namespace hostsim
