#include "hostsim/bus/SimulatedTests.h"

#include "j1939/Protocol.h"

namespace hostsim {
namespace {

void AppendWord(std::vector<uint8_t>& data, uint16_t value) {
    data.push_back(static_cast<uint8_t>(value));
    data.push_back(static_cast<uint8_t>(value >> 8));
}

}  // namespace

std::vector<uint8_t> Dm30Payload(uint8_t testId, uint32_t spn, uint8_t fmi, bool passed) {
    std::vector<uint8_t> data = {testId};
    j1939::AppendSpnFmi(data, spn, fmi);
    AppendWord(data, kTestResultSlot);
    AppendWord(data, passed ? kPassingTestValue : kFailingTestValue);
    AppendWord(data, kTestLimitMaximum);
    AppendWord(data, kTestLimitMinimum);
    return data;
}

}  // namespace hostsim
