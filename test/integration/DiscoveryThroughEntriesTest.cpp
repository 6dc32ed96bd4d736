// An engine that answers some PGNs, refuses some and ignores others, registered through
// the entries: discovery ends with exactly what the bus said, at the bus's pace.
#include <set>

#include "host/ZorvApi.h"
#include "test/support/AppTest.h"
#include "test/support/EntryTest.h"

namespace marl::testing {
namespace {

const std::set<uint32_t> kAnswered = {65253, 65259, 64965};
const std::set<uint32_t> kRefused = {65217, 65230};
const std::set<uint32_t> kIgnored = {65257, 49408};
constexpr TESKID kFirstTeskId = 500;
constexpr ZCategoryId kRequestPgnsCategory = 3;

constexpr const char* kEngineNetwork = R"({
  "ecus": [{
    "label": "Engine", "channel": 1, "address": "0x00", "replyDelayMs": 5,
    "name": {"identityNumber": 42, "manufacturerCode": 115, "function": 0, "industryGroup": 1},
    "default": "ignore",
    "pgns": {
      "65253": {"behaviour": "answer", "data": "80 C4 03 00 FF FF FF FF"},
      "65259": {"behaviour": "answer", "text": "MRL*E1*123*U1*"},
      "64965": {"behaviour": "answer", "text": "P1*S1*Engine*ECM*"},
      "65217": {"behaviour": "nack"},
      "65230": {"behaviour": "nack"},
      "65257": {"behaviour": "ignore"},
      "49408": {"behaviour": "ignore"}
    }
  }]
})";

class DiscoveryThroughEntries : public EntryTest {
protected:
    void SetUp() override {
        EntryTest::SetUp();
        // The engine's parameter file: one data point per PGN, all in the category of
        // PGNs to probe.
        hostsim::CategoryDefinition probe = Category(kRequestPgnsCategory, "RequestPGNs");
        TESKID teskId = kFirstTeskId;
        for (const auto* group : {&kAnswered, &kRefused, &kIgnored}) {
            for (uint32_t pgn : *group) {
                hostsim::AddDataPoint(DataPoint(teskId, pgn));
                probe.teskIds.push_back(teskId++);
            }
        }
        hostsim::AddCategory(probe);
        LoadNetwork(kEngineNetwork);
    }
};

// Registered by its address text, the engine ends discovery with exactly what the bus
// said; consecutive probes of the engine are at least 100 ms apart.
TEST_F(DiscoveryThroughEntries, DiscoveryEndsWithWhatTheBusSaid) {
    handles_.push_back(1);
    ASSERT_EQ(Entry<zorv::FnRegisterModule>(zorv::kEntryRegisterModule)(kEntryUiHandle, 1, L"0"), 0);
    const uint32_t registrationEnd = Zorv_GetSysTime();
    ModuleRecordPtr engine = Module(1);
    ASSERT_TRUE(engine);
    for (uint32_t pgn : kAnswered) EXPECT_TRUE(engine->pgnMap.isSupported(pgn)) << pgn;
    for (uint32_t pgn : kRefused) {
        EXPECT_TRUE(engine->pgnMap.hasResponded(pgn)) << pgn;
        EXPECT_FALSE(engine->pgnMap.isSupported(pgn)) << pgn;
    }
    // The ignored PGNs were asked again: addressed twice, then once to everyone.
    for (uint32_t pgn : kIgnored) {
        EXPECT_FALSE(engine->pgnMap.hasResponded(pgn)) << pgn;
        std::vector<uint8_t> destinations;
        for (const SeenRequest& r : RequestsSeen(0, 0, pgn)) destinations.push_back(r.destination);
        EXPECT_EQ(destinations, (std::vector<uint8_t>{0x00, 0x00, 0xFF})) << pgn;
    }

    const auto requests = RequestsSeen();
    std::vector<SeenRequest> probes;
    for (const auto& r : requests) {
        const bool probed = kAnswered.count(r.pgn) + kRefused.count(r.pgn) + kIgnored.count(r.pgn) != 0;
        if (probed && r.destination == 0x00) probes.push_back(r);
    }
    ASSERT_GE(probes.size(), kAnswered.size() + kRefused.size() + kIgnored.size());
    for (size_t i = 1; i < probes.size(); ++i) {
        // The host clock counts whole milliseconds: allow one of rounding.
        EXPECT_GE(probes[i].timeMs - probes[i - 1].timeMs, 99u) << "probe " << i;
    }
    // The engine answered, so discovery settles for 2 s after its last probe.
    uint32_t lastProbe = 0;
    for (const auto& r : requests) lastProbe = kIgnored.count(r.pgn) != 0 ? r.timeMs : lastProbe;
    EXPECT_GE(registrationEnd - lastProbe, 1990u);
    EXPECT_LT(registrationEnd - lastProbe, 9000u) << "a positive answer shortens the settling from 10 s to 2 s";

}

}  // namespace
}  // namespace marl::testing
