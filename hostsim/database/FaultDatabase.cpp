#include "hostsim/database/FaultDatabase.h"

namespace hostsim {

void FaultDatabase::AddGroup(ZFaultGroupId groupId) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (GroupLocked(groupId) == nullptr) groups_.push_back(Group{groupId, {}});
}

void FaultDatabase::AddFault(const FaultDefinition& fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    Group* group = GroupLocked(fault.groupId);
    if (group == nullptr) {
        groups_.push_back(Group{fault.groupId, {}});
        group = &groups_.back();
    }
    group->faults.push_back(fault);
}

size_t FaultDatabase::GroupCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return groups_.size();
}

std::optional<ZFaultGroupId> FaultDatabase::GroupIdAt(size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= groups_.size()) return std::nullopt;
    return groups_[index].id;
}

std::optional<size_t> FaultDatabase::GroupIndexOf(ZFaultGroupId groupId) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < groups_.size(); ++i) {
        if (groups_[i].id == groupId) return i;
    }
    return std::nullopt;
}

std::optional<size_t> FaultDatabase::FaultIndexOf(size_t groupIndex, ZBinNumber binNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (groupIndex >= groups_.size()) return std::nullopt;
    const auto& faults = groups_[groupIndex].faults;
    for (size_t i = 0; i < faults.size(); ++i) {
        if (faults[i].binNumber == binNumber) return i;
    }
    return std::nullopt;
}

std::optional<FaultDefinition> FaultDatabase::FaultAt(size_t groupIndex, size_t faultIndex) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (groupIndex >= groups_.size() || faultIndex >= groups_[groupIndex].faults.size()) {
        return std::nullopt;
    }
    return groups_[groupIndex].faults[faultIndex];
}

std::optional<FaultDefinition> FaultDatabase::Find(ZFaultGroupId groupId, ZBinNumber binNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    Group* group = GroupLocked(groupId);
    if (group == nullptr) return std::nullopt;
    for (const FaultDefinition& fault : group->faults) {
        if (fault.binNumber == binNumber) return fault;
    }
    return std::nullopt;
}

std::optional<FaultDefinition> FaultDatabase::FindByBinNumber(ZBinNumber binNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Group& group : groups_) {
        for (const FaultDefinition& fault : group.faults) {
            if (fault.binNumber == binNumber) return fault;
        }
    }
    return std::nullopt;
}

void FaultDatabase::SetReceivedCount(uint16_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    receivedCount_ = count;
}

uint16_t FaultDatabase::ReceivedCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return receivedCount_;
}

void FaultDatabase::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    groups_.clear();
    receivedCount_ = 0;
}

FaultDatabase::Group* FaultDatabase::GroupLocked(ZFaultGroupId groupId) {
    for (Group& group : groups_) {
        if (group.id == groupId) return &group;
    }
    return nullptr;
}

}  // namespace hostsim
