#include "hostsim/database/FaultDatabase.h"

#include <limits>
#include <utility>

#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

// Fault indexes are 16-bit.
constexpr size_t kMaxFaults = std::numeric_limits<uint16_t>::max() + size_t{1};
constexpr uint32_t kMaxSpn = 0x7FFFF;

}  // namespace

void FaultDatabase::AddGroup(const FaultGroupDefinition& group) {
    std::lock_guard<std::mutex> lock(mutex_);
    DescribedGroup* existing = DescribedGroupLocked(group.id);
    if (existing != nullptr) {
        existing->definition = group;
        return;
    }
    described_.push_back(DescribedGroup{group, {}});
}

void FaultDatabase::AddFault(const FaultDefinition& fault) {
    std::lock_guard<std::mutex> lock(mutex_);
    DescribedGroup* group = DescribedGroupLocked(fault.groupId);
    if (group == nullptr) {
        described_.push_back(DescribedGroup{FaultGroupDefinition{fault.groupId, {}, {}, 0}, {}});
        group = &described_.back();
    }
    group->faults.push_back(fault);
}

bool FaultDatabase::Described() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !described_.empty();
}

void FaultDatabase::UseFolder(DataFolder& folder) {
    std::string path = folder.Get();
    std::lock_guard<std::mutex> lock(mutex_);
    if (fileRead_ && fileFolder_ == path) return;
    fileRead_ = true;
    fileFolder_ = path;
    file_ = FaultCodeFile{};
    fileSpns_.clear();
    fileIndexes_.clear();
    std::string found = folder.Find(kFaultCodeFileName);
    FaultCodeFileResult read = found.empty()
                                   ? FaultCodeFileResult{std::nullopt, std::string("no fault-code database ") +
                                                                           kFaultCodeFileName + " in " + path}
                                   : ReadFaultCodeFile(found);
    fileError_ = read.error;
    if (!read.file) return;
    file_ = std::move(*read.file);
    for (const auto& spn : file_.spns) {
        if (fileSpns_.size() == kMaxFaults) break;
        fileIndexes_[spn.first] = fileSpns_.size();
        fileSpns_.push_back(spn.first);
    }
}

std::string FaultDatabase::FileError() {
    std::lock_guard<std::mutex> lock(mutex_);
    return fileError_;
}

size_t FaultDatabase::GroupCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return described_.empty() ? file_.groups.size() : described_.size();
}

std::optional<FaultGroupDefinition> FaultDatabase::GroupAt(size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!described_.empty()) {
        if (index >= described_.size()) return std::nullopt;
        return described_[index].definition;
    }
    if (index >= file_.groups.size()) return std::nullopt;
    return file_.groups[index];
}

std::optional<size_t> FaultDatabase::GroupIndexOf(ZFaultGroupId groupId) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!described_.empty()) {
        for (size_t i = 0; i < described_.size(); ++i) {
            if (described_[i].definition.id == groupId) return i;
        }
        return std::nullopt;
    }
    for (size_t i = 0; i < file_.groups.size(); ++i) {
        if (file_.groups[i].id == groupId) return i;
    }
    return std::nullopt;
}

std::optional<FaultGroupDefinition> FaultDatabase::Group(ZFaultGroupId groupId) {
    auto index = GroupIndexOf(groupId);
    return index ? GroupAt(*index) : std::nullopt;
}

std::optional<size_t> FaultDatabase::FaultIndexOf(size_t groupIndex, ZBinNumber binNumber, bool received) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!described_.empty()) {
        if (groupIndex >= described_.size()) return std::nullopt;
        const auto& faults = described_[groupIndex].faults;
        for (size_t i = 0; i < faults.size(); ++i) {
            if (faults[i].binNumber == binNumber) return i;
        }
        return std::nullopt;
    }
    if (groupIndex >= file_.groups.size() || binNumber != (binNumber & kBinNumberSpnMask)) return std::nullopt;
    return FileFaultIndexLocked(SpnOfBinNumber(binNumber), received);
}

std::optional<FaultEntry> FaultDatabase::FaultAt(size_t groupIndex, size_t faultIndex) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!described_.empty()) {
        if (groupIndex >= described_.size() || faultIndex >= described_[groupIndex].faults.size()) {
            return std::nullopt;
        }
        return FaultEntry{described_[groupIndex].faults[faultIndex], true};
    }
    if (groupIndex >= file_.groups.size() || faultIndex >= fileSpns_.size()) return std::nullopt;
    return FileEntryLocked(file_.groups[groupIndex].id, fileSpns_[faultIndex]);
}

std::optional<FaultEntry> FaultDatabase::Find(ZFaultGroupId groupId, ZBinNumber binNumber, bool received) {
    auto groupIndex = GroupIndexOf(groupId);
    if (!groupIndex) return std::nullopt;
    auto faultIndex = FaultIndexOf(*groupIndex, binNumber, received);
    return faultIndex ? FaultAt(*groupIndex, *faultIndex) : std::nullopt;
}

std::optional<FaultDefinition> FaultDatabase::FindDescribed(ZBinNumber binNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const DescribedGroup& group : described_) {
        for (const FaultDefinition& fault : group.faults) {
            if (fault.binNumber == binNumber) return fault;
        }
    }
    return std::nullopt;
}

std::vector<FaultAttributeDefinition> FaultDatabase::FileAttributes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_.attributes;
}

std::optional<SpnFaultText> FaultDatabase::SpnText(uint32_t spn) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = file_.spns.find(spn);
    if (found == file_.spns.end()) return std::nullopt;
    return found->second;
}

std::optional<SpnFmiText> FaultDatabase::SpnFmi(uint32_t spn, uint8_t fmi) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto text = file_.spns.find(spn);
    if (text == file_.spns.end()) return std::nullopt;
    auto found = text->second.fmis.find(fmi);
    if (found == text->second.fmis.end()) return std::nullopt;
    return found->second;
}

std::vector<uint32_t> FaultDatabase::RelatedSpns(uint32_t spn) {
    auto text = SpnText(spn);
    return text && text->hasRelated ? text->relatedSpns : std::vector<uint32_t>{spn};
}

void FaultDatabase::SetReceivedCount(uint16_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    receivedCount_ = count;
}

std::optional<uint16_t> FaultDatabase::ReceivedCountOverride() {
    std::lock_guard<std::mutex> lock(mutex_);
    return receivedCount_;
}

void FaultDatabase::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    described_.clear();
    fileRead_ = false;
    fileFolder_.clear();
    fileError_.clear();
    file_ = FaultCodeFile{};
    fileSpns_.clear();
    fileIndexes_.clear();
    receivedCount_.reset();
}

FaultDatabase::DescribedGroup* FaultDatabase::DescribedGroupLocked(ZFaultGroupId groupId) {
    for (DescribedGroup& group : described_) {
        if (group.definition.id == groupId) return &group;
    }
    return nullptr;
}

std::optional<size_t> FaultDatabase::FileFaultIndexLocked(uint32_t spn, bool received) {
    auto found = fileIndexes_.find(spn);
    if (found != fileIndexes_.end()) return found->second;
    if (!received || spn > kMaxSpn || fileSpns_.size() == kMaxFaults) return std::nullopt;
    fileIndexes_[spn] = fileSpns_.size();
    fileSpns_.push_back(spn);
    return fileSpns_.size() - 1;
}

FaultEntry FaultDatabase::FileEntryLocked(ZFaultGroupId groupId, uint32_t spn) {
    FaultEntry entry;
    entry.definition.groupId = groupId;
    entry.definition.binNumber = spn;
    auto text = file_.spns.find(spn);
    if (text != file_.spns.end()) entry.definition.description = Utf8ToWide(text->second.description);
    entry.definition.attributes = file_.attributes;
    return entry;
}

}  // namespace hostsim
