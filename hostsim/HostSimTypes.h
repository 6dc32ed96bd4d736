// What the stand-in host records and what a test describes to it: calls, trace lines and
// the small parameter database (data points, categories, faults) it answers from.
#pragma once

#include <cstdint>
#include <map>
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

// Where a data point sits in the data of its PGN's message and how its raw value
// becomes a value text, in the terms of the J1939 parameter definitions: start byte
// and start bit counted from 1, a length in bits, a resolution per bit, an offset and a
// unit. Text parameters are fields of ASCII text separated by '*'.
struct SpnLayout {
    enum class Type { Number, States, Text, Ascii };

    uint16_t startByte = 0;            // 0: the data point is not carried in message data
    uint8_t startBit = 1;
    uint8_t bits = 8;                  // Number, States: 1 to 32; Ascii: a multiple of 8
    double resolution = 1.0;
    double offset = 0.0;
    std::string unit;                  // UTF-8
    Type type = Type::Number;
    uint8_t field = 0;                 // Text: which '*'-separated field from startByte on
    std::map<uint32_t, std::string> states;  // States: text of each raw value (UTF-8)
    uint32_t spn = 0;                  // the parameter's SPN, for reference
};

// A data point of the parameter database. Data points added with AddDataPoint are
// answered for every module handle; a module whose parameter file was read from the
// data folder has its own table.
struct DataPointDefinition {
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
    SpnLayout layout;                  // how the host's J1939 parser decodes it
};

// A category of the parameter database (vehicle 0).
struct CategoryDefinition {
    ZCategoryId id = 0;
    std::string name;                  // 8-bit name, such as "RequestPGNs"
    std::wstring displayName;
    uint16_t type = 0;
    std::vector<TESKID> teskIds;
};

// An attribute of a fault in the fault-code database.
struct FaultAttributeDefinition {
    std::string key;                   // such as "FMI" or "Status"
    std::wstring displayName;
    uint16_t attributeId = 0;
    bool hasValue = true;              // false: the scaled value text is null
    std::string valueText;             // scaled value, 8-bit
};

// A fault group of the fault-code database. The J1939 groups are fed by a diagnostic
// message: the module's last DM1 lists the faults of the active group, its last DM2 those
// of the previously active one; a group without a message lists only described faults.
struct FaultGroupDefinition {
    ZFaultGroupId id = 0;
    std::string name;                  // UTF-8, such as "Active"
    std::string status;                // the Status attribute's text of its faults (UTF-8)
    uint32_t messagePgn = 0;           // DM1 or DM2 PGN; 0: none
};

// A fault of a fault group, with what the host received for it.
struct FaultDefinition {
    ZFaultGroupId groupId = 0;
    ZBinNumber binNumber = 0;
    bool hasDescription = true;        // false: no extended information
    std::wstring description;
    std::vector<FaultAttributeDefinition> attributes;
    std::vector<uint8_t> receivedData;
    std::vector<TESKID> relatedTeskIds;
};

// The host's view of one data point after the plug-in worked on it.
struct DataPointState {
    bool known = false;                // false: no such data point
    TESKID teskId = 0;
    std::string name;                  // 8-bit name, such as "SPN_190"
    uint32_t spn = 0;                  // 0: the database names no SPN
    std::string unit;                  // UTF-8
    std::wstring description;          // display name
    uint32_t updates = 0;              // values the host's J1939 parser decoded into it
    bool visible = false;
    bool valid = false;
    bool hasDisplayValue = false;
    std::wstring displayValue;
    std::vector<uint8_t> value;
    std::wstring valueText;            // what the host shows: the display value, else the value text
};

// A module's bus connection as the host keeps it.
struct ConnectionState {
    bool connected = false;            // false: Zorv_Connect was never called for the handle
    ZModuleHandle owner = 0;           // the handle that opened the connection
    int channel = 0;
    bool parsing = false;
    std::vector<uint8_t> filter;       // source addresses let through; empty: all
    int claimedAddress = -1;           // the tool's address on the bus, -1 when none
};

// The channel of a message sent with a handle that has no connection (channels count from 1).
constexpr int kNoChannel = 0;

// Ways a hostile host misbehaves (SetHostileBehaviour), to be combined.
constexpr uint32_t kHostileOversizedCounts = 1;    // counts and lengths say more than the buffer holds
constexpr uint32_t kHostileUnterminatedTexts = 2;  // texts fill their buffer with no terminator
constexpr uint32_t kHostileNullOutputs = 4;        // objects handed out are null, with success

// One J1939 message the host's adapter carried, whole (a transport session counts once,
// when its last packet arrived).
struct TrafficRecord {
    uint32_t timeMs = 0;               // host system time
    int channel = 0;                   // kNoChannel: sent with a handle that has no connection
    bool fromTool = false;             // sent by the plug-in, else brought by the bus
    ZModuleHandle handle = 0;          // the plug-in's sending handle
    ZResult result = 0;                // what SendJ1939Msg answered; non-zero: not sent on
    ZPgn pgn = 0;
    uint8_t priority = 0;
    uint8_t source = 0;
    uint8_t destination = 0;
    std::vector<uint8_t> data;
};

// One CAN frame the host's bus carried: single frames, transport packets, claims.
struct BusFrame {
    int64_t timeMicros = 0;            // wall-clock time, microseconds since 1970
    int channel = 0;
    uint32_t canId = 0;                // 29-bit identifier
    std::vector<uint8_t> data;
};

// What a replay of a bus log did.
struct ReplayStats {
    bool running = false;
    size_t framesRead = 0;             // frames of the interface replayed
    size_t framesSkipped = 0;          // frames of other interfaces, 11-bit, remote and error frames
    size_t malformedLines = 0;
    size_t messagesDelivered = 0;      // messages handed to the receive side
    size_t transportMessages = 0;      // of which reassembled from transport sessions
    std::string error;                 // first problem met
};

// ---- fault codes the host's J1939 parser received (DM1 and DM2) ----

// A lamp's two bits, and its flash state's two bits, as an ECU reports them.
constexpr uint8_t kLampOff = 0;
constexpr uint8_t kLampOn = 1;
constexpr uint8_t kLampNotAvailable = 3;
constexpr uint8_t kLampSlowFlash = 0;
constexpr uint8_t kLampFastFlash = 1;
constexpr uint8_t kLampNoFlash = 3;

struct LampStatus {
    uint8_t state = kLampNotAvailable;
    uint8_t flash = kLampNoFlash;

    bool operator==(const LampStatus& other) const { return state == other.state && flash == other.flash; }
};

struct DtcLamps {
    LampStatus malfunction;   // malfunction indicator
    LampStatus redStop;
    LampStatus amberWarning;
    LampStatus protect;
};

// An ECU that does not count occurrences sends all ones in the seven bits.
constexpr uint8_t kOccurrenceCountNotAvailable = 0x7F;

// One diagnostic trouble code.
struct Dtc {
    uint32_t spn = 0;  // 19 bits
    uint8_t fmi = 0;   // failure mode identifier, 5 bits
    uint8_t occurrenceCount = kOccurrenceCountNotAvailable;
    // Set by ECUs that still send one of the SPN byte orders of older J1939 revisions.
    bool conversionMethod = false;

    bool operator==(const Dtc& other) const {
        return spn == other.spn && fmi == other.fmi && occurrenceCount == other.occurrenceCount &&
               conversionMethod == other.conversionMethod;
    }
};

// One DM1 or DM2 as decoded: the lamps and the codes it lists.
struct DtcReport {
    DtcLamps lamps;
    std::vector<Dtc> dtcs;
};

// What the host's parser kept for a module: the last DM1 (the ECU's current state) and
// the last DM2 it parsed; a report the module never got stays empty and not received.
struct ReceivedFaultCodes {
    bool activeReceived = false;
    DtcReport active;
    bool previouslyActiveReceived = false;
    DtcReport previouslyActive;
};

// ---- the fault screen's side of the host ----

// One fault the module received, as the host's fault screen lists it (texts UTF-8).
struct FaultListEntry {
    ZFaultGroupId groupId = 0;
    std::string groupName;
    ZBinNumber binNumber = 0;          // the SPN in the low 24 bits
    Dtc dtc;
    std::string description;           // the SPN's description (database, data point, "SPN <n>")
    std::string fmiText;               // the FMI's SAE J1939-73 text
    std::string extendedText;          // the database's text for this SPN and FMI, if any
    std::string status;                // the group's status text
};

// What the fault screen shows for a module: every received fault of every group in the
// host's group order, and the lamps of the last DM1 and DM2.
struct FaultListView {
    std::vector<FaultListEntry> faults;
    ReceivedFaultCodes received;       // lamps and codes as the parser kept them
};

// A value of the module's "FreezeFrame" category decoded from a DM4 freeze frame.
struct FreezeFrameValue {
    TESKID teskId = 0;
    std::string name;                  // 8-bit data-point name, such as "SPN_190"
    std::string valueText;             // UTF-8, "N/A" when the ECU sent not available
};

// The last DM4 freeze frame the host's generic parser (Zorv_ParseMsg) kept for a module.
struct FreezeFrameRecord {
    bool found = false;
    Dtc dtc;                           // the fault the frame was taken for
    std::vector<FreezeFrameValue> values;
};

// One ZorvLite_FaultInfoMsg call: the fault-information window the host showed.
struct FaultInfoWindow {
    ZModuleHandle handle = 0;
    std::string caption;               // UTF-8
    std::string body;                  // UTF-8
    bool freezeFrameFound = false;
    ZCategoryId categoryId = 0;
    std::string categoryName;          // UTF-8 of the 8-bit name; empty for null
};

// One command the J1708 vehicle application's command entry received.
struct J1708Command {
    uint32_t handle = 0;
    int16_t code = 0;
    std::string text;                  // UTF-8, up to the given length or the terminator
    int16_t textLength = -1;           // in value; -1 for a null pointer
    int16_t dataCount = -1;            // in value of the data count; -1 for a null pointer
    std::vector<uint8_t> data;         // the first dataCount bytes
};

// A guided-test screen the host showed (Zorv_UIMsgDataInput) and what the user replied;
// texts UTF-8.
struct UiScreen {
    ZModuleHandle handle = 0;
    std::string title;
    std::string message;
    std::string reply;
};

// ---- recordings -------------------------------------------------------------------

// A message the plug-in handed to the host's recorder.
struct RecordedMessage {
    uint32_t timeStamp = 0;
    std::vector<uint8_t> bytes;        // the host's layout: PGN, priority, source, destination, data
};

// What the host keeps of one recorded module.
struct ModuleRecording {
    std::string label;
    uint8_t address = 0;
    int channel = 1;
    bool hasName = false;
    J1939DecodedName name{};
    std::vector<RecordedMessage> messages;
    size_t skippedLines = 0;           // lines of the host's section that could not be read
};

// ---- a captured bus played into modules ----------------------------------------------

// An ECU heard on a captured bus.
struct CaptureEcu {
    uint8_t address = 0;
    bool claimed = false;              // it sent Address Claimed; name holds the 64-bit NAME
    uint64_t name = 0;
    size_t messages = 0;
    std::vector<ZPgn> pgns;            // the PGNs it sent, in ascending order
    // Every code its DM1s listed in the capture, in the order first heard, each with the
    // occurrence count of its last listing; a code cleared later in the capture stays here.
    std::vector<Dtc> activeSeen;
};

// What the first pass over a capture found.
struct CaptureSummary {
    std::string error;                 // non-empty: the capture could not be read
    std::string interfaceName;         // the interface replayed
    std::vector<std::string> interfaces;  // every interface of the capture
    size_t frames = 0;                 // 29-bit data frames of that interface
    size_t skipped = 0;                // other interfaces, 11-bit, remote and error frames
    size_t malformed = 0;              // lines that are no frame
    std::string firstProblem;          // the first malformed line and why
    size_t messages = 0;               // whole messages, transport sessions reassembled
    int64_t spanMicros = 0;            // time from the first frame to the last message
    std::vector<CaptureEcu> ecus;      // by address
};

// How far the delivery of a capture has gone.
struct CaptureProgress {
    size_t messages = 0;               // handed to the modules so far
    size_t frames = 0;                 // frames read so far
};

}  // namespace hostsim
