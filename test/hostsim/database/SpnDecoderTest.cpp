// Decoding parameters out of message data: scaling, J1939 not-available ranges, states,
// text fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/database/SpnDecoder.h"

namespace {

using Type = hostsim::SpnLayout::Type;

hostsim::SpnLayout Layout(Type type, uint16_t startByte, uint8_t startBit, uint8_t bits, double resolution = 1,
                          double offset = 0, const char* unit = "", uint8_t field = 0) {
    hostsim::SpnLayout layout;
    layout.type = type;
    layout.startByte = startByte;
    layout.startBit = startBit;
    layout.bits = bits;
    layout.resolution = resolution;
    layout.offset = offset;
    layout.unit = unit;
    layout.field = field;
    layout.states = {{0, "Off"}, {1, "On"}};
    return layout;
}

hostsim::SpnLayout Text(uint16_t startByte, uint8_t field) { return Layout(Type::Text, startByte, 1, 8, 1, 0, "", field); }

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

}  // namespace

TEST(SpnDecoder, RealParametersAndTheirNotAvailableRanges) {
    // EEC1 of an idling engine, ET1, engine hours, the software identification.
    const std::vector<uint8_t> eec1 = {0xF0, 0x7D, 0x87, 0x40, 0x1F, 0x00, 0xFF, 0x87};
    const std::vector<uint8_t> et1 = {0x7D, 0x50, 0x00, 0x2E, 0xFF, 0xFF, 0x55, 0xFF};
    const std::vector<uint8_t> hours = {0x80, 0xC4, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<uint8_t> soft = Bytes("\x03" "ECM-4.2.1*CAL-1*BOOT-1.07*");
    struct Case {
        const char* what;
        hostsim::SpnLayout layout;
        std::vector<uint8_t> data;
        std::wstring text;  // empty: not available
    };
    const Case cases[] = {
        {"engine speed", Layout(Type::Number, 4, 1, 16, 0.125, 0, "rpm"), eec1, L"1000 rpm"},
        {"torque with offset", Layout(Type::Number, 3, 1, 8, 1, -125, "%"), eec1, L"10 %"},
        {"UTF-8 unit", Layout(Type::Number, 1, 1, 8, 1, -40, "\xC2\xB0" "C"), et1, L"85 \u00B0C"},
        {"32 bits", Layout(Type::Number, 1, 1, 32, 0.05, 0, "h"), hours, L"12345.6 h"},
        {"0xFAFF is the highest valid word", Layout(Type::Number, 1, 1, 16), {0xFF, 0xFA}, L"64255"},
        {"0xFB00 begins the reserved range", Layout(Type::Number, 1, 1, 16), {0x00, 0xFB}, L""},
        {"the error indicator", Layout(Type::Number, 2, 1, 8), {0x00, 0xFE}, L""},
        {"a 32-bit reserved value", Layout(Type::Number, 1, 1, 32), {0x00, 0x00, 0x00, 0xFB}, L""},
        {"two bits both set", Layout(Type::Number, 1, 3, 2), {0x0C}, L""},
        {"beyond the data sent", Layout(Type::Number, 8, 1, 8), {0x01}, L""},
        {"a state", Layout(Type::States, 1, 3, 2), {0x04, 0xFF}, L"On"},
        {"a state without a text shows its number", Layout(Type::States, 1, 3, 2), {0x08, 0xFF}, L"2"},
        {"text field 0", Text(1, 0), Bytes("1M2TR2407PM004217*"), L"1M2TR2407PM004217"},
        {"text field 2", Text(2, 2), soft, L"BOOT-1.07"},
        {"the empty field after the last star", Text(2, 3), soft, L""},
        {"padding after the star", Text(1, 0), {'C', 'M', 'M', 'N', 'S', '*', 0xFF, 0xFF}, L"CMMNS"},
        {"padding dropped, control bytes '?'", Text(1, 0), {'A', 'B', 0x01, 0xFF}, L"AB?"},
        {"ASCII range", Layout(Type::Ascii, 5, 1, 16), {0x7D, 0xFF, 0xFF, 0x7D, 'N', ' ', 0xFF, 0xFF}, L"N "},
        {"ASCII range of padding", Layout(Type::Ascii, 5, 1, 16), {0x7D, 0xFF, 0xFF, 0x7D, 0xFF, 0xFF}, L""},
    };
    for (const Case& c : cases) {
        hostsim::DecodedSpn decoded = hostsim::DecodeSpn(c.layout, c.data.data(), c.data.size());
        EXPECT_EQ(decoded.available, !c.text.empty()) << c.what;
        EXPECT_EQ(decoded.text, c.text.empty() ? hostsim::kNotAvailableText : c.text) << c.what;
    }
    hostsim::DecodedSpn speed = hostsim::DecodeSpn(cases[0].layout, eec1.data(), eec1.size());
    EXPECT_EQ(speed.raw, (std::vector<uint8_t>{0x40, 0x1F}));
    EXPECT_EQ(hostsim::DecodeSpn(cases[12].layout, cases[12].data.data(), cases[12].data.size()).raw.size(), 17u);
    EXPECT_EQ(hostsim::FormatScaled(-0.0001, 1.0), "0");
}
