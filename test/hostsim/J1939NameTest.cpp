// The 64-bit NAME, its bytes on the bus and the host's decoded NAME record.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "hostsim/bus/J1939Name.h"

namespace {

hostsim::J1939NameFields TireEcu() {
    hostsim::J1939NameFields name;
    name.identityNumber = 0x1ABCDE;
    name.manufacturerCode = 312;
    name.ecuInstance = 5;
    name.functionInstance = 8;
    name.function = 38;
    name.vehicleSystem = 0x55;
    name.vehicleSystemInstance = 0xA;
    name.industryGroup = 1;
    name.arbitraryAddressCapable = true;
    return name;
}

uint32_t WordAt(const J1939DecodedName& decoded, size_t offset) {
    uint32_t word = 0;
    std::memcpy(&word, reinterpret_cast<const uint8_t*>(&decoded) + offset, sizeof(word));
    return word;
}

}  // namespace

TEST(J1939Name, FieldsSitWhereJ1939PutsThem) {
    hostsim::J1939NameFields engine;
    engine.identityNumber = 1;
    EXPECT_EQ(hostsim::EncodeName(engine), 1u);
    engine.manufacturerCode = 1;
    EXPECT_EQ(hostsim::EncodeName(engine), (uint64_t{1} << 21) | 1u);

    hostsim::J1939NameFields capable;
    capable.arbitraryAddressCapable = true;
    EXPECT_EQ(hostsim::EncodeName(capable), uint64_t{1} << 63);
    hostsim::J1939NameFields function;
    function.function = 0x81;
    EXPECT_EQ(hostsim::EncodeName(function), uint64_t{0x81} << 40);
    hostsim::J1939NameFields group;
    group.industryGroup = 7;
    group.vehicleSystemInstance = 0xF;
    EXPECT_EQ(hostsim::EncodeName(group), uint64_t{0x7F} << 56);
}

TEST(J1939Name, RoundTripsThroughEncodingBytesAndTheDecodedRecord) {
    const hostsim::J1939NameFields fields = TireEcu();
    uint64_t name = hostsim::EncodeName(fields);
    EXPECT_EQ(hostsim::DecodeName(name), fields);

    uint8_t bytes[8] = {};
    hostsim::NameToBytes(name, bytes);
    EXPECT_EQ(bytes[0], 0xDE) << "least significant byte first on the bus";
    EXPECT_EQ(bytes[5], 38) << "the function is byte 6 of the claim";
    EXPECT_EQ(hostsim::NameFromBytes(bytes), name);

    J1939DecodedName decoded = hostsim::DecodedNameOf(name, 0x33);
    EXPECT_EQ(hostsim::NameOfDecoded(decoded), name);
}

TEST(J1939Name, DecodedRecordHoldsWhatThePluginReads) {
    J1939DecodedName decoded = hostsim::DecodedNameOf(hostsim::EncodeName(TireEcu()), 0x33);
    EXPECT_EQ(decoded.function, 38);
    uint32_t manufacturer = decoded.manufacturer;
    EXPECT_EQ(manufacturer, 312u);
    uint32_t instanceWord = decoded.instanceWord;
    EXPECT_EQ(instanceWord & 0x1F0000u, 0x080000u) << "function instance 8 in bits 16-20";
    EXPECT_EQ(instanceWord & 0x7u, 5u) << "ECU instance in bits 0-2";
    EXPECT_EQ(WordAt(decoded, 12), 0x1ABCDEu) << "identity number";
    EXPECT_TRUE(hostsim::IsArbitraryAddressCapable(decoded.lastWord));

    EXPECT_EQ(decoded.FirstWord() & 0xFFu, 0x33u) << "claimed address in byte 0";
    EXPECT_GT(decoded.FirstWord(), 0xFFu) << "a first word is never mistaken for an address";

    hostsim::J1939NameFields fixed;
    J1939DecodedName plain = hostsim::DecodedNameOf(hostsim::EncodeName(fixed), 0);
    EXPECT_FALSE(hostsim::IsArbitraryAddressCapable(plain.lastWord));
    EXPECT_GE(plain.FirstWord(), hostsim::kDecodedNameMarker) << "even an all-zero NAME at address 0";
}
