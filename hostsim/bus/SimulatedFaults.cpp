#include "hostsim/bus/SimulatedFaults.h"

#include "hostsim/bus/DtcMessage.h"

namespace hostsim {
namespace {

constexpr size_t kLengthByte = 1;

std::vector<Dtc> CodesOf(const std::vector<SimulatedDtc>& codes) {
    std::vector<Dtc> dtcs;
    for (const SimulatedDtc& code : codes) dtcs.push_back(code.dtc);
    return dtcs;
}

void AppendFrames(std::vector<uint8_t>& data, const std::vector<SimulatedDtc>& codes) {
    for (const SimulatedDtc& code : codes) {
        if (code.freezeFrame.empty()) continue;
        data.push_back(static_cast<uint8_t>(kDtcBytes + code.freezeFrame.size()));
        AppendDtc(data, code.dtc);
        data.insert(data.end(), code.freezeFrame.begin(), code.freezeFrame.end());
    }
}

}  // namespace

std::vector<uint8_t> Dm1Payload(const SimulatedFaults& faults) {
    return EncodeDtcMessage(faults.active.empty() ? kAllLampsOff : faults.lamps, CodesOf(faults.active));
}

std::vector<uint8_t> Dm2Payload(const SimulatedFaults& faults) {
    return EncodeDtcMessage(kAllLampsOff, CodesOf(faults.previouslyActive));
}

size_t Dm4PayloadSize(const std::vector<SimulatedDtc>& codes) {
    size_t size = 0;
    for (const SimulatedDtc& code : codes) {
        if (!code.freezeFrame.empty()) size += kLengthByte + kDtcBytes + code.freezeFrame.size();
    }
    return size;
}

std::vector<uint8_t> Dm4Payload(const SimulatedFaults& faults) {
    std::vector<uint8_t> data;
    data.reserve(Dm4PayloadSize(faults.active) + Dm4PayloadSize(faults.previouslyActive));
    AppendFrames(data, faults.active);
    AppendFrames(data, faults.previouslyActive);
    return data;
}

void ClearActive(SimulatedFaults& faults) {
    faults.active.clear();
    faults.lamps = kAllLampsOff;
}

void ClearPreviouslyActive(SimulatedFaults& faults) { faults.previouslyActive.clear(); }

}  // namespace hostsim
