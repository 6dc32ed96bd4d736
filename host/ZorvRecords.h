// Records the host and the plug-in exchange by address. Their byte layout is fixed by the
// 32-bit host: every field the plug-in reads sits at a fixed offset, with reserved bytes
// between, and each offset is checked at compile time so that neither a 64-bit build nor
// a later edit can move it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "host/ZorvCallConv.h"
#include "host/ZorvTypes.h"

#pragma pack(push, 1)

// Module information the host hands over at registration (600 bytes). Address and
// channel are 16-bit but only their low bytes are meaningful on the bus.
struct ModuleInfo {
    static constexpr size_t kMakeSize = 16;
    static constexpr size_t kModelSize = 16;

    uint8_t reserved0[6];
    int16_t ecuAddress;       // J1939 source address of the ECU (low byte)
    int16_t channel;          // bus channel (low byte)
    uint8_t reserved10[2];
    int32_t moduleId;
    uint8_t reserved16[52];
    char make[kMakeSize];     // zero-terminated 8-bit text
    char model[kModelSize];   // zero-terminated 8-bit text
    uint8_t reserved100[496];
    uint32_t moduleType;      // 74 (0x4A) marks a module type that limits discovery
};

static_assert(offsetof(ModuleInfo, ecuAddress) == 6, "ModuleInfo layout");
static_assert(offsetof(ModuleInfo, channel) == 8, "ModuleInfo layout");
static_assert(offsetof(ModuleInfo, moduleId) == 12, "ModuleInfo layout");
static_assert(offsetof(ModuleInfo, make) == 68, "ModuleInfo layout");
static_assert(offsetof(ModuleInfo, model) == 84, "ModuleInfo layout");
static_assert(offsetof(ModuleInfo, moduleType) == 596, "ModuleInfo layout");
static_assert(sizeof(ModuleInfo) == 600, "ModuleInfo size");

// Attribute record of a data point as the parameter database describes it (76 bytes).
struct sDpAttribute {
    uint8_t reserved0[4];
    uint32_t pgn;             // PGN of the message that carries the data point
    uint8_t reserved8[24];
    uint16_t guidedTest;      // non-zero: the data point stands for a guided test, not a
                              // measured value; 1 also keeps its PGN out of discovery
    int16_t security;         // request class: 2 periodic slow, 3 periodic fast, 0 and 1
                              // global on demand, others on demand to the ECU
    uint8_t reserved36[4];
    uint32_t kind;            // 1 DPF regeneration test, 16 never hidden as not
                              // available, 17 PGN taken from the query message
    uint8_t reserved44[32];
};

static_assert(offsetof(sDpAttribute, pgn) == 4, "sDpAttribute layout");
static_assert(offsetof(sDpAttribute, guidedTest) == 32, "sDpAttribute layout");
static_assert(offsetof(sDpAttribute, security) == 34, "sDpAttribute layout");
static_assert(offsetof(sDpAttribute, kind) == 40, "sDpAttribute layout");
static_assert(sizeof(sDpAttribute) == 76, "sDpAttribute size");

// Values of sDpAttribute::kind the plug-in acts on.
constexpr uint32_t kDpKindDpfRegenerationTest = 1;
constexpr uint32_t kDpKindNeverNotAvailable = 16;
constexpr uint32_t kDpKindPgnFromQueryMessage = 17;

// Values of sDpAttribute::security the plug-in acts on: how a subscribed data point is
// requested. Classes 0 and 1 are on-demand requests sent to the global address; every
// class but the two periodic ones is on demand.
constexpr int16_t kDpSecurityGlobalOnDemand = 0;
constexpr int16_t kDpSecurityGlobalOnDemandAlt = 1;
constexpr int16_t kDpSecurityPeriodicSlow = 2;
constexpr int16_t kDpSecurityPeriodicFast = 3;

// A J1939 NAME as the host decodes it from an Address Claimed message (24 bytes). Byte 1
// is the NAME's function; the first and the last 32-bit words go to the host's
// arbitrary-address check; the words at offsets 4 and 8 identify tire ECUs whose
// location numbering is off by 0x11.
struct J1939DecodedName {
    uint8_t reserved0;
    uint8_t function;         // J1939 function
    uint8_t reserved2[2];
    uint32_t instanceWord;    // bits 16 to 20: function instance
    uint32_t manufacturer;    // manufacturer code
    uint8_t reserved12[8];
    uint32_t lastWord;

    // The first 32-bit word overlaps the function byte, so it is read by copy.
    uint32_t FirstWord() const {
        uint32_t word = 0;
        std::memcpy(&word, this, sizeof(word));
        return word;
    }
};

static_assert(offsetof(J1939DecodedName, function) == 1, "J1939DecodedName layout");
static_assert(offsetof(J1939DecodedName, instanceWord) == 4, "J1939DecodedName layout");
static_assert(offsetof(J1939DecodedName, manufacturer) == 8, "J1939DecodedName layout");
static_assert(offsetof(J1939DecodedName, lastWord) == 20, "J1939DecodedName layout");
static_assert(sizeof(J1939DecodedName) == 24, "J1939DecodedName size");

// Record of one fault attribute in the fault-code database (96 bytes).
struct AttributeBinInfo {
    uint8_t reserved0[92];
    uint16_t attributeId;     // id for scaling the attribute from received fault data
    uint8_t reserved94[2];
};

static_assert(offsetof(AttributeBinInfo, attributeId) == 92, "AttributeBinInfo layout");
static_assert(sizeof(AttributeBinInfo) == 96, "AttributeBinInfo size");

#pragma pack(pop)

// A fault attribute scaled from received fault data, owned by the host. The plug-in uses
// the value text (fifth slot) and gives the object back (second slot); the order of the
// slots is the host's binary interface, so no slot may move. The host destroys the object
// in Release, never through this interface.
class IScaledAttributes {
public:
    virtual int32_t ZORV_STDCALL AddRef() = 0;
    virtual int32_t ZORV_STDCALL Release() = 0;
    virtual uint16_t ZORV_STDCALL GetAttributeId() = 0;
    virtual ZResult ZORV_STDCALL GetScaledNumber(double* value) = 0;
    // The scaled value as an 8-bit text, or null; the text lives as long as the object.
    virtual const char* ZORV_STDCALL GetValueText(int32_t form) = 0;

protected:
    ~IScaledAttributes() = default;
};

// The form argument the plug-in passes to GetValueText.
constexpr int32_t kScaledValueFormDefault = 0;
