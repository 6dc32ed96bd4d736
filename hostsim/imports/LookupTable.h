// The host's look-up of functions by (number, module id): the host's own functions
// (module -1), functions registered for other modules, and the ones a test removed so
// that the look-up answers null for them.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <utility>

namespace hostsim {

class LookupTable {
public:
    LookupTable();
    void* Find(int32_t number, int32_t moduleId);
    void Remove(int32_t number, int32_t moduleId);
    void Restore(int32_t number, int32_t moduleId);
    void Register(int32_t number, int32_t moduleId, void* function);
    // Back to the host's own functions only, none removed.
    void Reset();

private:
    using Key = std::pair<int32_t, int32_t>;

    std::mutex mutex_;
    std::map<Key, void*> functions_;
    std::set<Key> removed_;
};

}  // namespace hostsim
