// The fault-code database file of the data folder (J1939_FAULTS.json): the fault groups
// and the DM1 or DM2 that feeds each, the attributes every J1939 fault has, and what the
// host knows of each SPN: its description, extended texts and flash codes per FMI, and
// the SPNs whose data points relate to a fault of it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

constexpr const char* kFaultCodeFileName = "J1939_FAULTS.json";

// The keys of the attributes the host scales from received fault bytes.
namespace faultkeys {
constexpr const char* kIdType = "ID_Type";
constexpr const char* kId = "ID";
constexpr const char* kStatus = "Status";
constexpr const char* kOccurrences = "Occurrences";
constexpr const char* kFmiDescription = "FMI_Description";
constexpr const char* kFmi = "FMI";
constexpr const char* kFlashCode = "FLASH_CODE";
}  // namespace faultkeys

struct SpnFmiText {
    std::string extendedText;  // empty: none
    std::string flashCode;     // empty: none
};

struct SpnFaultText {
    std::string description;  // UTF-8
    bool hasRelated = false;  // false: the fault's own SPN is the related one
    std::vector<uint32_t> relatedSpns;
    std::map<uint8_t, SpnFmiText> fmis;
};

struct FaultCodeFile {
    std::vector<FaultGroupDefinition> groups;
    std::vector<FaultAttributeDefinition> attributes;  // in the order every fault lists them
    std::map<uint32_t, SpnFaultText> spns;
};

// Exactly one of the two is set.
struct FaultCodeFileResult {
    std::optional<FaultCodeFile> file;
    std::string error;
};

FaultCodeFileResult ParseFaultCodeText(const std::string& text, const std::string& origin);
FaultCodeFileResult ReadFaultCodeFile(const std::string& path);

}  // namespace hostsim
