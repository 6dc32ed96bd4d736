// What the stand-in host records and what a test describes to it: calls, trace lines and
// the small parameter database (data points, categories, faults) it answers from.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/ZorvRecords.h"
#include "host/ZorvTypes.h"

namespace hostsim {

// One call into the host: the function's name and its arguments as readable text.
// Numbers are decimal, texts are UTF-8 in double quotes, byte buffers are upper-case hex
// pairs separated by blanks, pure out pointers "out" (or "null").
struct Call {
    std::string function;
    std::vector<std::string> args;

    // The argument at an index, or an empty text when there is none.
    std::string Arg(size_t index) const { return index < args.size() ? args[index] : std::string(); }
};

// One line written through the host's trace output, formatted and in UTF-8.
struct TraceLine {
    ZTraceId traceId = 0;
    int32_t level = 0;
    ZResult code = 0;
    std::string text;
};

// A data point of the parameter database. The host answers every module handle from
// the same table.
struct DataPointSpec {
    TESKID teskId = 0;
    std::string name;                  // 8-bit name, such as "SPN_965"
    std::wstring description;          // display name
    sDpAttribute attribute{};          // its pgn field is the data point's PGN
    std::vector<ZUdi> udis;            // universal data identifiers naming it
    std::vector<uint8_t> query;        // bytes of the query message it is read with
    std::vector<uint8_t> value;        // raw value
    std::wstring valueText;            // value as display text
    bool visible = false;
    bool valid = true;
};

// A category of the parameter database (vehicle 0).
struct CategorySpec {
    ZCategoryId id = 0;
    std::string name;                  // 8-bit name, such as "RequestPGNs"
    std::wstring displayName;
    uint16_t type = 0;
    std::vector<TESKID> teskIds;
};

// An attribute of a fault in the fault-code database.
struct FaultAttributeSpec {
    std::string key;                   // such as "FMI" or "Status"
    std::wstring displayName;
    uint16_t attributeId = 0;
    bool hasValue = true;              // false: the scaled value text is null
    std::string valueText;             // scaled value, 8-bit
};

// A fault of a fault group, with what the host received for it.
struct FaultSpec {
    ZFaultGroupId groupId = 0;
    ZBinNumber binNumber = 0;
    bool hasDescription = true;        // false: no extended information
    std::wstring description;
    std::vector<FaultAttributeSpec> attributes;
    std::vector<uint8_t> receivedData;
    std::vector<TESKID> relatedTeskIds;
};

// The host's view of one data point after the plug-in worked on it.
struct DataPointState {
    bool known = false;                // false: no such data point
    bool visible = false;
    bool valid = false;
    bool hasDisplayValue = false;
    std::wstring displayValue;
    std::vector<uint8_t> value;
};

}  // namespace hostsim
