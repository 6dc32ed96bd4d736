// The host's fault-code database. Two tables answer, as for data points: the one a test
// describes by hand (AddFaultGroup, AddFault), which answers for every module while it
// has a group, else the one read from the data folder's fault-code database file the
// first time it is needed (again after the folder changed).
//
// The groups of the file all list the same faults, at the same indexes: first every SPN
// the file names, in ascending order, then each SPN a module received that the file does
// not name, added the first time it is asked for. Fault indexes are 16-bit, so received
// SPNs get entries on demand instead of one per possible SPN. A group's three database
// indexes are (position of the group, 0, 0).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"
#include "hostsim/database/DataFolder.h"
#include "hostsim/database/FaultCodeFile.h"

namespace hostsim {

// The SPN of a J1939 fault's bin number.
constexpr ZBinNumber kBinNumberSpnMask = 0xFFFFFF;
inline uint32_t SpnOfBinNumber(ZBinNumber binNumber) { return static_cast<uint32_t>(binNumber & kBinNumberSpnMask); }

struct FaultEntry {
    // The file table leaves the description empty for an SPN it does not name (the host
    // then describes it from the module's parameter database) and the value texts of the
    // attributes empty (they are scaled from received bytes).
    FaultDefinition definition;
    bool described = false;  // from the hand-described table
};

class FaultDatabase {
public:
    void AddGroup(const FaultGroupDefinition& group);
    void AddFault(const FaultDefinition& fault);
    bool Described();

    // Reads the file of the folder unless it was read from that folder already.
    void UseFolder(DataFolder& folder);
    // Why the file could not be read; empty once it was.
    std::string FileError();

    size_t GroupCount();
    std::optional<FaultGroupDefinition> GroupAt(size_t index);
    std::optional<size_t> GroupIndexOf(ZFaultGroupId groupId);
    std::optional<FaultGroupDefinition> Group(ZFaultGroupId groupId);

    // received: the asking module received the bin number's SPN, so the file table gives
    // it an entry if it has none yet.
    std::optional<size_t> FaultIndexOf(size_t groupIndex, ZBinNumber binNumber, bool received);
    std::optional<FaultEntry> FaultAt(size_t groupIndex, size_t faultIndex);
    std::optional<FaultEntry> Find(ZFaultGroupId groupId, ZBinNumber binNumber, bool received);
    // The first described fault of any group with a bin number (hand-described table).
    std::optional<FaultDefinition> FindDescribed(ZBinNumber binNumber);

    // The attributes every fault of the file has.
    std::vector<FaultAttributeDefinition> FileAttributes();
    // What the file says of an SPN (nothing when it does not name it).
    std::optional<SpnFaultText> SpnText(uint32_t spn);
    // What the file says of an SPN's FMI (nothing when it says nothing).
    std::optional<SpnFmiText> SpnFmi(uint32_t spn, uint8_t fmi);
    // The SPNs whose data points relate to a fault of an SPN: the file's list, else the SPN.
    std::vector<uint32_t> RelatedSpns(uint32_t spn);

    void SetReceivedCount(uint16_t count);
    std::optional<uint16_t> ReceivedCountOverride();

    void Reset();

private:
    struct DescribedGroup {
        FaultGroupDefinition definition;
        std::vector<FaultDefinition> faults;
    };

    DescribedGroup* DescribedGroupLocked(ZFaultGroupId groupId);
    std::optional<size_t> FileFaultIndexLocked(uint32_t spn, bool received);
    FaultEntry FileEntryLocked(ZFaultGroupId groupId, uint32_t spn);

    std::mutex mutex_;
    std::vector<DescribedGroup> described_;
    bool fileRead_ = false;
    std::string fileFolder_;
    std::string fileError_;
    FaultCodeFile file_;
    std::vector<uint32_t> fileSpns_;          // fault index -> SPN
    std::map<uint32_t, size_t> fileIndexes_;  // SPN -> fault index
    std::optional<uint16_t> receivedCount_;
};

}  // namespace hostsim
