// The host's side of the J1939 bus as far as the plug-in sees it: the messages it sent,
// the hook that answers them, the NAMEs the host has seen claimed and the host's
// arbitrary-address check. The simulated network of ECUs will sit behind the hook.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"

namespace hostsim {

class BusState {
public:
    void SetSendHook(SendHook hook);
    SendHook Hook();
    void AddSent(std::vector<uint8_t> message);
    std::vector<std::vector<uint8_t>> Sent();

    void SetName(uint8_t address, const J1939DecodedName& name);
    bool Name(uint8_t address, J1939DecodedName& name);
    void SetAssignable(uint32_t first, uint32_t second, bool assignable);
    void SetAssignableDefault(bool assignable);
    bool Assignable(uint32_t first, uint32_t second);

    void Reset();

private:
    std::mutex mutex_;
    SendHook hook_;
    std::vector<std::vector<uint8_t>> sent_;
    std::map<uint8_t, J1939DecodedName> names_;
    std::map<std::pair<uint32_t, uint32_t>, bool> assignable_;
    bool assignableDefault_ = false;
};

}  // namespace hostsim
