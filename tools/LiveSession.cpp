#include "tools/LiveSession.h"

#include <chrono>
#include <thread>

#include "host/ZorvApi.h"
#include "hostsim/HostSim.h"

namespace marl::tools {
namespace {

constexpr int16_t kReportCapacity = 4096;
constexpr auto kRefreshPeriod = std::chrono::seconds(1);

std::string Utf8(const std::wstring& text) { return hostsim::ToUtf8(text); }

}  // namespace

const std::vector<std::string>& WatchList() {
    static const std::vector<std::string> list = {
        "SPN_190",  "SPN_513", "SPN_91",  "SPN_110", "SPN_100",  "SPN_183", "SPN_247", "SPN_84",
        "SPN_168",  "SPN_3719", "SPN_523", "SPN_191", "SPN_177", "SPN_521", "SPN_96",  "SPN_245",
        "SPN_171",  "SPN_929", "SPN_241", "SPN_242"};
    return list;
}

LiveSession::LiveSession(PluginLoader& plugin, FILE* out) : plugin_(plugin), out_(out) {}

void LiveSession::Complete(const EcuEntry& ecu) {
    auto command = plugin_.Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand);
    const auto start = std::chrono::steady_clock::now();
    command(static_cast<uint32_t>(ecu.handle), zorv::kCmdRegistrationComplete, nullptr, nullptr, nullptr, nullptr,
            nullptr);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(out_, "   %-28s registration completed (%lld ms)\n", ecu.label.c_str(), static_cast<long long>(ms));
}

void LiveSession::Subscribe(const EcuEntry& ecu) {
    std::vector<uint32_t> teskIds;
    for (const auto& name : WatchList()) {
        TESKID teskId = 0;
        if (Zorv_GetDPIDbyName(ecu.handle, name.c_str(), &teskId) != 0 || teskId == 0) continue;
        teskIds.push_back(teskId);
        watched_.push_back(Watched{ecu.handle, ecu.label, name, teskId});
    }
    if (teskIds.empty()) return;
    auto subscribe = plugin_.Entry<zorv::FnSubscribeDatapoints>(zorv::kEntrySubscribeDatapoints);
    const uint16_t result = subscribe(ecu.handle, teskIds.data(), static_cast<int32_t>(teskIds.size()));
    std::fprintf(out_, "   %-28s %zu parameters subscribed (result %u)\n", ecu.label.c_str(), teskIds.size(), result);
}

void LiveSession::Watch(int seconds) {
    for (int second = 1; second <= seconds; ++second) {
        std::this_thread::sleep_for(kRefreshPeriod);
        std::fprintf(out_, "\n-- live values, %d s --%*s%s\n", second, 83, "", "updates");
        for (const auto& w : watched_) {
            const auto state = hostsim::ModuleDataPoint(w.handle, w.name);
            const std::string label = state.known ? Utf8(state.description) : w.name;
            std::fprintf(out_, "   %-26s %-50.50s %-14s %6u\n", w.ecu.c_str(), label.c_str(),
                         state.valueText.empty() ? "-" : Utf8(state.valueText).c_str(),
                         static_cast<unsigned>(state.updates));
        }
        std::fflush(out_);
    }
}

void LiveSession::PrintHealthReport(const EcuEntry& ecu) {
    auto command = plugin_.Entry<zorv::FnVehicleAppCommand>(zorv::kEntryVehicleAppCommand);
    std::wstring text(static_cast<size_t>(kReportCapacity), L'\0');
    int16_t length = kReportCapacity;
    uint32_t generated = 0;
    command(static_cast<uint32_t>(ecu.handle), zorv::kCmdHealthReport, &text[0], &length, nullptr, nullptr, &generated);
    std::fprintf(out_, "\n== Health report of %s\n", ecu.label.c_str());
    if (generated == 0 || length <= 0) {
        std::fprintf(out_, "   (no report)\n");
        return;
    }
    text.resize(static_cast<size_t>(length) < text.size() ? static_cast<size_t>(length) : text.size());
    std::fprintf(out_, "%s", Utf8(text).c_str());
}

void LiveSession::UnsubscribeAll() {
    auto unsubscribe = plugin_.Entry<zorv::FnSubscribeDatapoints>(zorv::kEntryUnsubscribeDatapoints);
    for (const auto& w : watched_) unsubscribe(w.handle, &w.teskId, 1);
    watched_.clear();
}

}  // namespace marl::tools
