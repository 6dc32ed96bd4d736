// The host's fault-code database as the stand-in host keeps it so far: fault groups
// with their faults, attributes and related data points, and what was received. A
// group's three database indexes are (position of the group, 0, 0).
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class FaultDatabase {
public:
    void AddGroup(ZFaultGroupId groupId);
    void AddFault(const FaultDefinition& fault);
    size_t GroupCount();
    std::optional<ZFaultGroupId> GroupIdAt(size_t index);
    std::optional<size_t> GroupIndexOf(ZFaultGroupId groupId);
    std::optional<size_t> FaultIndexOf(size_t groupIndex, ZBinNumber binNumber);
    std::optional<FaultDefinition> FaultAt(size_t groupIndex, size_t faultIndex);
    std::optional<FaultDefinition> Find(ZFaultGroupId groupId, ZBinNumber binNumber);
    // The first fault of any group with a bin number.
    std::optional<FaultDefinition> FindByBinNumber(ZBinNumber binNumber);

    void SetReceivedCount(uint16_t count);
    uint16_t ReceivedCount();

    void Reset();

private:
    struct Group {
        ZFaultGroupId id = 0;
        std::vector<FaultDefinition> faults;
    };

    Group* GroupLocked(ZFaultGroupId groupId);

    std::mutex mutex_;
    std::vector<Group> groups_;
    uint16_t receivedCount_ = 0;
};

}  // namespace hostsim
