// Decoding parameters out of message data: scaling, J1939 not-available ranges, states,
// text fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hostsim/database/SpnDecoder.h"

namespace {

hostsim::SpnLayout Number(uint16_t startByte, uint8_t bits, double resolution, double offset, const char* unit,
                          uint8_t startBit = 1) {
    hostsim::SpnLayout layout;
    layout.startByte = startByte;
    layout.startBit = startBit;
    layout.bits = bits;
    layout.resolution = resolution;
    layout.offset = offset;
    layout.unit = unit;
    return layout;
}

hostsim::SpnLayout TextField(uint16_t startByte, uint8_t field) {
    hostsim::SpnLayout layout;
    layout.type = hostsim::SpnLayout::Type::Text;
    layout.startByte = startByte;
    layout.field = field;
    return layout;
}

hostsim::DecodedSpn Decode(const hostsim::SpnLayout& layout, const std::vector<uint8_t>& data) {
    return hostsim::DecodeSpn(layout, data.data(), data.size());
}

}  // namespace

TEST(SpnDecoder, ScalesRealParameters) {
    // EEC1 from an idling engine: engine speed 0x1F40 * 0.125 rpm, actual torque 135 - 125 %.
    std::vector<uint8_t> eec1 = {0xF0, 0x7D, 0x87, 0x40, 0x1F, 0x00, 0xFF, 0x87};
    hostsim::DecodedSpn speed = Decode(Number(4, 16, 0.125, 0, "rpm"), eec1);
    EXPECT_TRUE(speed.available);
    EXPECT_DOUBLE_EQ(speed.value, 1000.0);
    EXPECT_EQ(speed.text, L"1000 rpm");
    EXPECT_EQ(speed.raw, (std::vector<uint8_t>{0x40, 0x1F}));
    EXPECT_EQ(Decode(Number(3, 8, 1, -125, "%"), eec1).text, L"10 %");

    std::vector<uint8_t> et1 = {0x7D, 0x50, 0x00, 0x2E, 0xFF, 0xFF, 0x55, 0xFF};
    EXPECT_EQ(Decode(Number(1, 8, 1, -40, "\xC2\xB0" "C"), et1).text, L"85 \u00B0C");
    EXPECT_EQ(Decode(Number(3, 16, 0.03125, -273, "\xC2\xB0" "C"), et1).text, L"95 \u00B0C");

    std::vector<uint8_t> hours = {0x80, 0xC4, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(Decode(Number(1, 32, 0.05, 0, "h"), hours).text, L"12345.6 h");
    EXPECT_EQ(hostsim::FormatScaled(-0.0001, 1.0), "0");
}

TEST(SpnDecoder, NotAvailableRangesOfJ1939) {
    hostsim::SpnLayout word = Number(1, 16, 0.125, 0, "rpm");
    EXPECT_FALSE(Decode(word, {0x00, 0xFB}).available) << "0xFB00 begins the reserved range";
    EXPECT_TRUE(Decode(word, {0xFF, 0xFA}).available) << "0xFAFF is the highest valid value";
    EXPECT_EQ(Decode(word, {0xFF, 0xFF}).text, hostsim::kNotAvailableText);

    hostsim::SpnLayout byte = Number(2, 8, 1, -40, "C");
    EXPECT_FALSE(Decode(byte, {0x00, 0xFB}).available);
    EXPECT_FALSE(Decode(byte, {0x00, 0xFE}).available) << "the error indicator shows as not available";
    EXPECT_TRUE(Decode(byte, {0x00, 0xFA}).available);
    EXPECT_FALSE(Decode(Number(1, 32, 0.05, 0, "h"), {0x00, 0x00, 0x00, 0xFB}).available);

    hostsim::SpnLayout twoBits = Number(1, 2, 1, 0, "", 3);
    EXPECT_FALSE(Decode(twoBits, {0x0C}).available) << "bits 3-4 both set";
    EXPECT_TRUE(Decode(twoBits, {0x08}).available);
    EXPECT_FALSE(Decode(Number(8, 8, 1, 0, ""), {0x01}).available) << "beyond the data sent";
    EXPECT_FALSE(Decode(byte, {}).available);
}

TEST(SpnDecoder, StatesAndBitFields) {
    hostsim::SpnLayout amberLamp = Number(1, 2, 1, 0, "", 3);
    amberLamp.type = hostsim::SpnLayout::Type::States;
    amberLamp.states = {{0, "Off"}, {1, "On"}};
    EXPECT_EQ(Decode(amberLamp, {0x04, 0xFF}).text, L"On");
    EXPECT_EQ(Decode(amberLamp, {0x00, 0xFF}).text, L"Off");
    EXPECT_EQ(Decode(amberLamp, {0x08, 0xFF}).text, L"2") << "a state without a text shows its number";
}

TEST(SpnDecoder, TextFieldsSeparatedByStars) {
    std::string vin = "1M2TR2407PM004217*";
    std::vector<uint8_t> vinData(vin.begin(), vin.end());
    hostsim::DecodedSpn decoded = Decode(TextField(1, 0), vinData);
    EXPECT_EQ(decoded.text, L"1M2TR2407PM004217");
    EXPECT_EQ(decoded.raw.size(), 17u);

    std::string soft = "\x03" "ECM-4.2.1*CAL-1*BOOT-1.07*";
    std::vector<uint8_t> softData(soft.begin(), soft.end());
    EXPECT_EQ(Decode(TextField(2, 0), softData).text, L"ECM-4.2.1");
    EXPECT_EQ(Decode(TextField(2, 2), softData).text, L"BOOT-1.07");
    EXPECT_FALSE(Decode(TextField(2, 3), softData).available) << "the empty field after the last star";
    EXPECT_FALSE(Decode(TextField(2, 19), softData).available);

    std::vector<uint8_t> padded = {'C', 'M', 'M', 'N', 'S', '*', 0xFF, 0xFF};
    EXPECT_EQ(Decode(TextField(1, 0), padded).text, L"CMMNS");
    std::vector<uint8_t> noStar = {'A', 'B', 0x01, 0xFF};
    EXPECT_EQ(Decode(TextField(1, 0), noStar).text, L"AB?") << "padding dropped, control bytes shown as '?'";

    hostsim::SpnLayout range;
    range.type = hostsim::SpnLayout::Type::Ascii;
    range.startByte = 5;
    range.bits = 16;
    EXPECT_EQ(Decode(range, {0x7D, 0xFF, 0xFF, 0x7D, 'N', ' ', 0xFF, 0xFF}).text, L"N ");
    EXPECT_FALSE(Decode(range, {0x7D, 0xFF, 0xFF, 0x7D, 0xFF, 0xFF}).available);
}
