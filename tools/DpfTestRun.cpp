#include "tools/DpfTestRun.h"

#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "host/ZorvApi.h"
#include "hostsim/HostSim.h"
#include "j1939/Protocol.h"

namespace marl::tools {
namespace {

// The attribute record's kind of the DPF active regeneration test's data point.
constexpr uint32_t kDpfTestKind = 1;
// The screen that closes a test: message 202.
constexpr const char* kClosingScreen = "202";
constexpr auto kTestLimit = std::chrono::seconds(120);
constexpr auto kPollPeriod = std::chrono::milliseconds(100);

TESKID FindDpfTest(int32_t handle) {
    uint16_t count = 0;
    if (Zorv_GetDPCount(handle, &count) != 0) return 0;
    for (uint16_t index = 0; index < count; ++index) {
        TESKID teskId = 0;
        sDpAttribute attribute{};
        if (Zorv_GetDPID(handle, index, &teskId) == 0 && Zorv_GetDPAttributes(handle, teskId, &attribute) == 0 &&
            attribute.kind == kDpfTestKind) {
            return teskId;
        }
    }
    return 0;
}

// The fields of a screen's message, one per line for the console.
std::string Fields(const std::string& message) {
    std::string shown;
    size_t start = 0;
    for (;;) {
        const size_t end = message.find("\xC2\xA7", start);
        shown += "[" + message.substr(start, end - start) + "]";
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return shown;
}

std::wstring AskAtConsole(const std::wstring& title, const std::wstring& message) {
    std::printf("\n   screen %s %s\n   reply (204 leaves the test): ", hostsim::ToUtf8(title).c_str(),
                Fields(hostsim::ToUtf8(message)).c_str());
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line)) line = "204";
    return hostsim::FromUtf8(line);
}

}  // namespace

bool RunDpfTest(PluginLoader& plugin, const EcuEntry& ecu, bool interactive, FILE* out) {
    const TESKID teskId = FindDpfTest(ecu.handle);
    std::fprintf(out, "\n== DPF active regeneration test on %s\n", ecu.label.c_str());
    if (teskId == 0) {
        std::fprintf(out, "   the module's parameter file has no DPF test\n");
        return false;
    }
    if (interactive) {
        hostsim::SetUiResponder([](ZModuleHandle, const std::wstring& title, const std::wstring& message) {
            return AskAtConsole(title, message);
        });
    } else {
        // Past the first prompt and onto the test screen, Start once, then leave.
        for (const wchar_t* reply : {L"1", L"1", L"1", L"1", L"204"}) hostsim::QueueUiReply(reply);
    }
    const size_t screensBefore = hostsim::UiScreens().size();
    const size_t sentBefore = hostsim::SentMessages().size();
    plugin.Entry<zorv::FnSubscribeDatapoint>(zorv::kEntrySubscribeDatapoint)(ecu.handle, teskId);

    // The test runs on the plug-in's thread; the host's screens show how far it got.
    const auto deadline = std::chrono::steady_clock::now() + kTestLimit;
    bool ended = false;
    size_t shown = screensBefore;
    while (!ended && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kPollPeriod);
        const auto screens = hostsim::UiScreens();
        for (; shown < screens.size(); ++shown) {
            const hostsim::UiScreen& screen = screens[shown];
            if (!interactive) {
                std::fprintf(out, "   screen %-30s %-60s reply %s\n", screen.title.empty() ? "-" : screen.title.c_str(),
                             Fields(screen.message).c_str(), screen.reply.c_str());
            }
            ended = ended || screen.message.rfind(kClosingScreen, 0) == 0;
        }
    }
    size_t dm7 = 0;
    const auto sent = hostsim::SentMessages();
    for (size_t i = sentBefore; i < sent.size(); ++i) {
        if (sent[i].size() >= 3 && j1939::ReadPgn(sent[i].data()) == j1939::kPgnDm7) ++dm7;
    }
    plugin.Entry<zorv::FnSubscribeDatapoint>(zorv::kEntryUnsubscribeDatapoint)(ecu.handle, teskId);
    hostsim::SetUiResponder(nullptr);
    std::fprintf(out, "   %zu DM7 test command%s sent; the test %s\n", dm7, dm7 == 1 ? "" : "s",
                 ended ? "ended and closed its screen" : "did NOT end within two minutes");
    return ended;
}

}  // namespace marl::tools
