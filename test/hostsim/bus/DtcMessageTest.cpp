// DM1 and DM2 payloads decoded into lamps and trouble codes; the FMI texts.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "hostsim/bus/DtcMessage.h"
#include "hostsim/database/FmiText.h"

namespace hostsim {
void PrintTo(const Dtc& dtc, std::ostream* out) {
    *out << "SPN " << dtc.spn << " FMI " << int(dtc.fmi) << " OC " << int(dtc.occurrenceCount)
         << (dtc.conversionMethod ? " CM" : "");
}
}  // namespace hostsim

namespace {

using hostsim::Dtc;

std::optional<hostsim::DtcReport> Decode(const std::vector<uint8_t>& data) {
    return hostsim::DecodeDtcMessage(data.data(), data.size());
}

TEST(DtcMessage, LampStatesAndFlashStatesOfTheFourLamps) {
    // States 0,1,2,3 and flash states 3,2,1,0 from the malfunction lamp to the protect lamp.
    auto report = Decode({0x1B, 0xE4});
    ASSERT_TRUE(report);
    const hostsim::DtcLamps& lamps = report->lamps;
    EXPECT_EQ(lamps.malfunction, (hostsim::LampStatus{0, 3}));
    EXPECT_EQ(lamps.redStop, (hostsim::LampStatus{1, 2}));
    EXPECT_EQ(lamps.amberWarning, (hostsim::LampStatus{2, 1}));
    EXPECT_EQ(lamps.protect, (hostsim::LampStatus{3, 0}));
    EXPECT_TRUE(report->dtcs.empty());
}

TEST(DtcMessage, CodesOfAPayload) {
    struct Case {
        const char* what;
        std::vector<uint8_t> data;
        std::vector<Dtc> dtcs;
    };
    const Case cases[] = {
        {"one code in a single frame", {0x04, 0xFF, 0xD4, 0x03, 0x09, 0x7E, 0xFF, 0xFF}, {{980, 9, 126, false}}},
        {"several codes, in order",
         {0x00, 0x00, 0x90, 0x0C, 0x14, 0x02, 0x61, 0x02, 0x0C, 0x03, 0x61, 0x02, 0x09, 0x01},
         {{3216, 20, 2, false}, {609, 12, 3, false}, {609, 9, 1, false}}},
        {"the SPN's top three bits above the FMI", {0x00, 0x00, 0x0B, 0x1A, 0xE3, 0x01}, {{0x71A0B, 3, 1, false}}},
        {"conversion method, count not available", {0x00, 0x00, 0x6E, 0x00, 0x04, 0xFF}, {{110, 4, 0x7F, true}}},
        {"no code: zeros, padded", {0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF}, {}},
        {"no code: all ones", {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {}},
        {"a no-code entry among codes", {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x6E, 0x00, 0x04, 0x01}, {{110, 4, 1, false}}},
        {"a partial code at the end is ignored", {0x00, 0x00, 0xD4, 0x03, 0x09, 0x7E, 0x90, 0x0C, 0x14}, {{980, 9, 126, false}}},
        {"lamps only", {0x00, 0x00, 0x90}, {}},
    };
    for (const Case& c : cases) {
        auto report = Decode(c.data);
        ASSERT_TRUE(report) << c.what;
        EXPECT_EQ(report->dtcs, c.dtcs) << c.what;
    }
    EXPECT_FALSE(Decode({0x04})) << "no room for the lamps";
    EXPECT_FALSE(Decode({}));
    EXPECT_FALSE(hostsim::DecodeDtcMessage(nullptr, 6));
}

TEST(DtcMessage, FmiTexts) {
    EXPECT_EQ(std::string(hostsim::FmiText(0)), "Data Valid But Above Normal Operational Range - Most Severe Level");
    EXPECT_EQ(std::string(hostsim::FmiText(9)), "Abnormal Update Rate");
    EXPECT_EQ(std::string(hostsim::FmiText(12)), "Bad Intelligent Device Or Component");
    EXPECT_EQ(std::string(hostsim::FmiText(20)), "Data Drifted High");
    EXPECT_EQ(std::string(hostsim::FmiText(21)), "Data Drifted Low");
    EXPECT_EQ(std::string(hostsim::FmiText(30)), "Reserved For SAE Assignment");
    EXPECT_EQ(std::string(hostsim::FmiText(31)), "Condition Exists");
    EXPECT_EQ(std::string(hostsim::FmiText(32)), "");
}

}  // namespace
