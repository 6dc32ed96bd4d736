#include "tools/TruckSession.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"
#include "host/ZorvRecords.h"
#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Name.h"
#include "tools/DiscoveryTable.h"
#include "tools/PgnNames.h"

namespace marl::tools {
namespace {

constexpr uint32_t kUiHandle = 1;
constexpr size_t kIdentityOffset = 12;
constexpr auto kProgressPeriod = std::chrono::milliseconds(1000);

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof(text), "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

// The parameter file and vehicle of the last load the host saw for a module.
std::string LoadedFileOf(int32_t handle) {
    std::string file;
    for (const auto& call : hostsim::CallsTo("Zorv_LoadBinFileWithSpecifiedComponents")) {
        if (call.Arg(0) == std::to_string(handle)) file = call.Arg(1) + " (vehicle " + call.Arg(2) + ")";
    }
    return file;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) out += (out.empty() ? "" : ", ") + item;
    return out.empty() ? "(none)" : out;
}

}  // namespace

std::string RegistrationResultText(uint16_t result) {
    switch (result) {
        case 0: return "registered";
        case 1: return "failed: no bus connection or no parameter file";
        case 2: return "failed: the module does not belong to this plug-in";
        case 3: return "failed: no module information";
        case 5: return "failed: invalid module handle";
        case 20: return "failed: a host function is missing or the component is not in the file";
        case 43: return "failed: the plug-in could not start";
        case 0xFFFF: return "failed: not connected to the bus";
        default: return "failed with host result " + std::to_string(result);
    }
}

TruckSession::TruckSession(PluginLoader& plugin, FILE* out) : plugin_(plugin), out_(out) {}

uint16_t TruckSession::Register(EcuEntry& ecu) {
    ModuleInfo info;
    std::memset(&info, 0, sizeof(info));
    info.ecuAddress = ecu.address;
    info.channel = static_cast<int16_t>(ecu.channel);
    info.moduleId = zorv::kModuleIdMarlJ1939;
    std::strncpy(info.make, ecu.make.c_str(), sizeof(info.make) - 1);

    std::fprintf(out_, "\n== %s: address 0x%02X on channel %d (module handle %d)\n", ecu.label.c_str(), ecu.address,
                 ecu.channel, ecu.handle);
    std::fflush(out_);
    recorder_.Clear();

    auto entry = plugin_.Entry<zorv::FnRegisterModuleWithInfo>(zorv::kEntryRegisterModuleWithInfo);
    std::atomic<bool> done{false};
    uint16_t result = 0;
    // Registration runs discovery on the calling thread for seconds; the host's screen
    // keeps showing what the bus does meanwhile.
    std::thread worker([&] {
        result = entry(kUiHandle, ecu.handle, &info);
        done = true;
    });
    auto next = std::chrono::steady_clock::now() + kProgressPeriod;
    while (!done.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (std::chrono::steady_clock::now() >= next) {
            ShowProgress(ecu, false);
            next += kProgressPeriod;
        }
    }
    worker.join();
    ecu.result = result;
    ecu.registered = true;  // the host unregisters failed modules too
    ShowProgress(ecu, true);
    std::fprintf(out_, "   registration: %s\n", RegistrationResultText(result).c_str());
    return result;
}

void TruckSession::ShowProgress(const EcuEntry& ecu, bool final) {
    const OutcomeCounts counts = Count(DiscoveryTableFor(recorder_.Messages(), ecu.channel, ecu.address));
    std::fprintf(out_, "   %s %3d requests, %3d PGNs asked: %3d supported, %3d refused, %3d silent\n",
                 final ? "discovery done:" : "discovering... ", counts.requests,
                 counts.supported + counts.refused + counts.silent, counts.supported, counts.refused, counts.silent);
    std::fflush(out_);
}

std::optional<uint64_t> TruckSession::ClaimedName(const EcuEntry& ecu) const {
    auto getName = reinterpret_cast<zorv::GetJ1939NameFn>(Zorv_GetFunctionAddress(zorv::kLookupGetJ1939Name, -1));
    J1939DecodedName name;
    std::memset(&name, 0xFF, sizeof(name));
    if (getName == nullptr || getName(ecu.address, &name) != 0) return std::nullopt;
    return hostsim::NameOfDecoded(name);
}

std::vector<PgnRow> TruckSession::DiscoveryRows(const EcuEntry& ecu) const {
    return DiscoveryTableFor(recorder_.Messages(), ecu.channel, ecu.address);
}

void TruckSession::PrintIdentification(const EcuEntry& ecu) {
    auto getName = reinterpret_cast<zorv::GetJ1939NameFn>(Zorv_GetFunctionAddress(zorv::kLookupGetJ1939Name, -1));
    J1939DecodedName name;
    std::memset(&name, 0xFF, sizeof(name));
    if (getName != nullptr && getName(ecu.address, &name) == 0) {
        // The host's decoded NAME keeps the identity number in the word at offset 12.
        uint32_t identity = 0;
        std::memcpy(&identity, reinterpret_cast<const uint8_t*>(&name) + kIdentityOffset, sizeof(identity));
        std::fprintf(out_, "   NAME: function %u, function instance %u, manufacturer %u, identity %u\n",
                     name.function, static_cast<unsigned>((name.instanceWord >> 16) & 0x1F),
                     static_cast<unsigned>(name.manufacturer), static_cast<unsigned>(identity));
    } else {
        std::fprintf(out_, "   NAME: not claimed on the bus\n");
    }
    std::fprintf(out_, "   parameter file: %s\n", LoadedFileOf(ecu.handle).c_str());
    std::fprintf(out_, "   components: %s\n", Join(hostsim::LoadedComponents(ecu.handle)).c_str());
}

void TruckSession::PrintDiscoveryTable(const EcuEntry& ecu) {
    const auto rows = DiscoveryRows(ecu);
    if (rows.empty()) {
        std::fprintf(out_, "   no PGN was requested from this ECU\n");
        return;
    }
    std::fprintf(out_, "   %-8s %-7s %-8s %-9s %s\n", "PGN", "decimal", "name", "outcome", "requests");
    for (const auto& row : rows) {
        std::fprintf(out_, "   0x%-6s %-7u %-8s %-9s %d\n", Hex(row.pgn, 4).c_str(), static_cast<unsigned>(row.pgn),
                     PgnName(row.pgn), OutcomeText(row.outcome), row.requests);
    }
}

void TruckSession::Unregister(EcuEntry& ecu) {
    if (!ecu.registered) return;
    auto entry = plugin_.Entry<zorv::FnModuleHandleOnly>(zorv::kEntryUnregisterModule);
    const uint16_t result = entry(ecu.handle);
    ecu.registered = false;
    std::fprintf(out_, "   unregistered %s (result %u)\n", ecu.label.c_str(), result);
}

}  // namespace marl::tools
