#include "tools/FaultScreen.h"

#include <chrono>
#include <string>
#include <thread>

#include "hostsim/HostSim.h"
#include "j1939/Protocol.h"

namespace marl::tools {
namespace {

constexpr int16_t kRequestCapacity = 2048;
// An ECU broadcasts its DM1 once a second; the list is read again after the next one.
constexpr auto kNextDm1Wait = std::chrono::milliseconds(1500);

std::string OccurrenceText(uint8_t count) {
    return count == hostsim::kOccurrenceCountNotAvailable ? "n/a" : std::to_string(count);
}

size_t FailureTraces(const std::string& fragment) {
    size_t count = 0;
    for (const auto& line : hostsim::Traces()) {
        if (line.text.find(fragment) != std::string::npos) ++count;
    }
    return count;
}

std::string Hex2(uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof(text), "%02X", value);
    return text;
}

// Prints each line of a body, indented.
void PrintLines(FILE* out, const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::fprintf(out, "      | %s\n", text.substr(start, end - start).c_str());
        start = end + 2;
    }
}

}  // namespace

const char* LampText(const hostsim::LampStatus& lamp) {
    switch (lamp.state) {
        case hostsim::kLampOff:
            return "off";
        case hostsim::kLampOn:
            return lamp.flash == hostsim::kLampSlowFlash || lamp.flash == hostsim::kLampFastFlash ? "flashing" : "on";
        default:
            return "n/a";
    }
}

FaultScreen::FaultScreen(PluginLoader& plugin, FILE* out) : plugin_(plugin), out_(out) {}

size_t FaultScreen::List(const EcuEntry& ecu) {
    // The host's screen asks the plug-in for the fault groups first.
    auto command = plugin_.Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand);
    std::wstring groups(kRequestCapacity, L'\0');
    int16_t length = kRequestCapacity;
    command(static_cast<uint32_t>(ecu.handle), zorv::kCmdListFaultGroups, &groups[0], &length, nullptr, nullptr,
            nullptr);
    groups.resize(static_cast<size_t>(length > 0 ? length : 0));

    const hostsim::FaultListView view = hostsim::FaultList(ecu.handle);
    const hostsim::DtcLamps& lamps = view.received.active.lamps;
    std::fprintf(out_, "   %-28s groups %s; lamps: MIL %s, red stop %s, amber warning %s, protect %s\n",
                 ecu.label.c_str(), hostsim::ToUtf8(groups).c_str(), LampText(lamps.malfunction),
                 LampText(lamps.redStop), LampText(lamps.amberWarning), LampText(lamps.protect));
    if (!view.received.activeReceived) std::fprintf(out_, "      (no DM1 heard yet)\n");
    for (const auto& fault : view.faults) {
        std::fprintf(out_, "      %-17s SPN %6u FMI %2u  x%-3s %s - %s\n", fault.groupName.c_str(), fault.dtc.spn,
                     fault.dtc.fmi, OccurrenceText(fault.dtc.occurrenceCount).c_str(), fault.description.c_str(),
                     fault.fmiText.c_str());
    }
    if (view.faults.empty() && view.received.activeReceived) std::fprintf(out_, "      no faults\n");
    return view.faults.size();
}

void FaultScreen::ShowInformation(const EcuEntry& ecu) {
    auto command = plugin_.Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand);
    for (const auto& fault : hostsim::FaultList(ecu.handle).faults) {
        const std::string request = std::to_string(fault.groupId) + "\xC2\xA7" + std::to_string(fault.binNumber) +
                                    "\xC2\xA7" + std::to_string(fault.dtc.fmi);
        std::wstring text = hostsim::FromUtf8(request);
        text.resize(kRequestCapacity, L'\0');
        int16_t length = kRequestCapacity;
        const size_t windowsBefore = hostsim::FaultInfoWindows().size();
        const uint16_t result = command(static_cast<uint32_t>(ecu.handle), zorv::kCmdFaultInfo, &text[0], &length,
                                        nullptr, nullptr, nullptr);
        std::fprintf(out_, "\n   -- %s, SPN %u FMI %u: more information (result %u)\n", ecu.label.c_str(),
                     fault.dtc.spn, fault.dtc.fmi, result);
        const auto windows = hostsim::FaultInfoWindows();
        if (windows.size() == windowsBefore) {
            std::fprintf(out_, "      (no window opened)\n");
            continue;
        }
        const hostsim::FaultInfoWindow& window = windows.back();
        std::fprintf(out_, "      %s\n", window.caption.c_str());
        PrintLines(out_, window.body);
        if (!window.freezeFrameFound) {
            std::fprintf(out_, "      freeze frame: none from the ECU\n");
            continue;
        }
        const hostsim::FreezeFrameRecord frame = hostsim::FreezeFrame(ecu.handle);
        std::fprintf(out_, "      freeze frame (%s):\n", window.categoryName.c_str());
        for (const auto& value : frame.values) {
            const auto state = hostsim::ModuleDataPoint(ecu.handle, value.teskId);
            const std::string label = state.known ? hostsim::ToUtf8(state.description) : value.name;
            std::fprintf(out_, "        %-44s %s\n", label.c_str(), value.valueText.c_str());
        }
    }
}

FaultScreen::Clearing FaultScreen::Clear(const EcuEntry& ecu) {
    const std::string silence = "for " + Hex2(ecu.address) + " SA";
    const size_t failuresBefore = FailureTraces(silence);
    auto clear = plugin_.Entry<zorv::FnModuleHandleOnly>(zorv::kEntryClearFaultCodes);
    const auto start = std::chrono::steady_clock::now();
    const uint16_t result = clear(ecu.handle);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    const size_t failures = FailureTraces(silence) - failuresBefore;
    std::fprintf(out_, "   %-28s DM3 and DM11 sent (result %u, %lld ms): %s\n", ecu.label.c_str(), result,
                 static_cast<long long>(ms),
                 failures == 0
                     ? "the ECU acknowledged"
                     : ("the ECU did not acknowledge (" + std::to_string(failures) + " failed requests)").c_str());
    std::this_thread::sleep_for(kNextDm1Wait);
    std::fprintf(out_, "   after the next DM1:\n");
    List(ecu);
    return {result, failures == 0, static_cast<long long>(ms)};
}

}  // namespace marl::tools
