#include "hostsim/database/FmiText.h"

#include <iterator>

namespace hostsim {
namespace {

constexpr const char* kReserved = "Reserved For SAE Assignment";

// Indexed by FMI, 0 to 31.
constexpr const char* kFmiTexts[] = {
    "Data Valid But Above Normal Operational Range - Most Severe Level",
    "Data Valid But Below Normal Operational Range - Most Severe Level",
    "Data Erratic, Intermittent Or Incorrect",
    "Voltage Above Normal, Or Shorted To High Source",
    "Voltage Below Normal, Or Shorted To Low Source",
    "Current Below Normal Or Open Circuit",
    "Current Above Normal Or Grounded Circuit",
    "Mechanical System Not Responding Or Out Of Adjustment",
    "Abnormal Frequency Or Pulse Width Or Period",
    "Abnormal Update Rate",
    "Abnormal Rate Of Change",
    "Root Cause Not Known",
    "Bad Intelligent Device Or Component",
    "Out Of Calibration",
    "Special Instructions",
    "Data Valid But Above Normal Operating Range - Least Severe Level",
    "Data Valid But Above Normal Operating Range - Moderately Severe Level",
    "Data Valid But Below Normal Operating Range - Least Severe Level",
    "Data Valid But Below Normal Operating Range - Moderately Severe Level",
    "Received Network Data In Error",
    "Data Drifted High",
    "Data Drifted Low",
    kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved, kReserved,
    "Condition Exists",
};

}  // namespace

const char* FmiText(uint8_t fmi) { return fmi < std::size(kFmiTexts) ? kFmiTexts[fmi] : ""; }

}  // namespace hostsim
