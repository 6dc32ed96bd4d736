#include "hostsim/database/Scenario.h"

#include <limits>
#include <set>
#include <utility>

#include "j1939/Protocol.h"
#include "hostsim/database/JsonFields.h"

namespace hostsim {
namespace {

using namespace hostsim::jsonfields;
using nlohmann::json;

constexpr uint64_t kMaxPgn = 0x3FFFF;
constexpr uint64_t kMaxDelayMs = 60000;
constexpr uint64_t kMaxPeriodMs = 3600000;
constexpr uint64_t kMaxGapMs = 1000;
constexpr uint64_t kMaxByte = 0xFF;

Behaviour BehaviourOf(const std::string& text, const std::string& where, const char* key) {
    if (text == "answer") return Behaviour::Answer;
    if (text == "nack") return Behaviour::Nack;
    if (text == "ack") return Behaviour::Ack;
    if (text == "ignore") return Behaviour::Ignore;
    if (text == "broadcast") return Behaviour::Broadcast;
    Fail(where, std::string("'") + key + "' \"" + text + "\" is not one of answer, nack, ack, ignore, broadcast");
}

J1939NameFields NameOf(const json& ecu, const std::string& where) {
    J1939NameFields name;
    if (!Has(ecu, "name")) return name;
    const json& fields = ecu.at("name");
    std::string place = where + ": name";
    if (!fields.is_object()) Fail(place, "must be an object of NAME fields");
    name.identityNumber = static_cast<uint32_t>(UnsignedOr(fields, "identityNumber", 0, 0, kMaxIdentityNumber, place));
    name.manufacturerCode =
        static_cast<uint16_t>(UnsignedOr(fields, "manufacturerCode", 0, 0, kMaxManufacturerCode, place));
    name.ecuInstance = static_cast<uint8_t>(UnsignedOr(fields, "ecuInstance", 0, 0, kMaxEcuInstance, place));
    name.functionInstance =
        static_cast<uint8_t>(UnsignedOr(fields, "functionInstance", 0, 0, kMaxFunctionInstance, place));
    name.function = static_cast<uint8_t>(UnsignedOr(fields, "function", 0, 0, kMaxByte, place));
    name.vehicleSystem = static_cast<uint8_t>(UnsignedOr(fields, "vehicleSystem", 0, 0, kMaxVehicleSystem, place));
    name.vehicleSystemInstance =
        static_cast<uint8_t>(UnsignedOr(fields, "vehicleSystemInstance", 0, 0, kMaxVehicleSystemInstance, place));
    name.industryGroup = static_cast<uint8_t>(UnsignedOr(fields, "industryGroup", 0, 0, kMaxIndustryGroup, place));
    name.arbitraryAddressCapable = BoolOr(fields, "arbitraryAddressCapable", false, place);
    return name;
}

PgnBehaviour PgnBehaviourOf(const json& item, const std::string& where) {
    PgnBehaviour pgn;
    if (!item.is_object()) Fail(where, "must be an object with a 'behaviour'");
    pgn.behaviour = BehaviourOf(Text(item, "behaviour", where), where, "behaviour");
    pgn.priority = static_cast<uint8_t>(UnsignedOr(item, "priority", j1939::kDefaultPriority, 0,
                                                   j1939::kMaxPriority, where));
    bool sends = pgn.behaviour == Behaviour::Answer || pgn.behaviour == Behaviour::Broadcast;
    if (Has(item, "data") && Has(item, "text")) Fail(where, "give either 'data' or 'text', not both");
    if (Has(item, "data")) pgn.data = HexBytes(Text(item, "data", where), where, "data");
    if (Has(item, "text")) {
        std::string text = Text(item, "text", where);
        pgn.data.assign(text.begin(), text.end());
    }
    if (sends && pgn.data.empty()) Fail(where, "an answer or a broadcast needs 'data' or 'text'");
    if (!sends && (Has(item, "data") || Has(item, "text"))) Fail(where, "only an answer or a broadcast sends data");
    if (pgn.data.size() > j1939::kTpMaxMessageBytes) {
        Fail(where, "the data is longer than the transport protocol's 1785 bytes");
    }
    if (pgn.behaviour == Behaviour::Broadcast) {
        pgn.periodMs = static_cast<uint32_t>(Unsigned(Required(item, "periodMs", where), 1, kMaxPeriodMs, where,
                                                      "periodMs"));
    } else if (Has(item, "periodMs")) {
        Fail(where, "'periodMs' belongs to a broadcast");
    }
    return pgn;
}

EcuDescription EcuOf(const json& item, const std::string& where) {
    EcuDescription ecu;
    if (!item.is_object()) Fail(where, "must be an object");
    ecu.label = TextOr(item, "label", "", where);
    ecu.channel = static_cast<int>(UnsignedOr(item, "channel", 1, 1, kMaxChannel, where));
    ecu.address = static_cast<uint8_t>(
        Unsigned(Required(item, "address", where), 0, j1939::kMaxClaimableAddress, where, "address"));
    ecu.name = NameOf(item, where);
    ecu.replyDelayMs = static_cast<uint32_t>(UnsignedOr(item, "replyDelayMs", 0, 0, kMaxDelayMs, where));
    ecu.defaultBehaviour = BehaviourOf(TextOr(item, "default", "nack", where), where, "default");
    if (ecu.defaultBehaviour != Behaviour::Nack && ecu.defaultBehaviour != Behaviour::Ignore) {
        Fail(where, "'default' must be \"nack\" or \"ignore\"");
    }
    if (Has(item, "pgns")) {
        const json& pgns = item.at("pgns");
        if (!pgns.is_object()) Fail(where, "'pgns' must be an object keyed by PGN");
        for (auto entry = pgns.begin(); entry != pgns.end(); ++entry) {
            std::string place = where + ": pgns[\"" + entry.key() + "\"]";
            ZPgn pgn = static_cast<ZPgn>(Unsigned(json(entry.key()), 0, kMaxPgn, place, "PGN"));
            if (ecu.pgns.count(pgn) != 0) Fail(place, "the PGN appears twice");
            ecu.pgns[pgn] = PgnBehaviourOf(entry.value(), place);
        }
    }
    return ecu;
}

ScenarioDescription ScenarioOf(const json& document, const std::string& origin) {
    if (!document.is_object()) Fail(origin, "the top level must be an object");
    ScenarioDescription scenario;
    scenario.name = TextOr(document, "name", "", origin);
    scenario.tpPacketGapMs =
        static_cast<uint32_t>(UnsignedOr(document, "tpPacketGapMs", kDefaultTpPacketGapMs, 0, kMaxGapMs, origin));
    scenario.broadcastScale = NumberOr(document, "broadcastScale", 1.0, origin);
    if (!(scenario.broadcastScale > 0.0)) Fail(origin, "'broadcastScale' must be above 0");
    const json& ecus = ArrayOf(document, "ecus", origin);
    std::set<std::pair<int, uint8_t>> claimed;
    for (size_t i = 0; i < ecus.size(); ++i) {
        std::string label = Has(ecus[i], "label") && ecus[i].at("label").is_string()
                                ? " (" + ecus[i].at("label").get<std::string>() + ")"
                                : std::string();
        std::string where = origin + ": ecus[" + std::to_string(i) + "]" + label;
        EcuDescription ecu = EcuOf(ecus[i], where);
        if (!claimed.insert({ecu.channel, ecu.address}).second) {
            Fail(where, "address " + std::to_string(ecu.address) + " is claimed twice on channel " +
                            std::to_string(ecu.channel));
        }
        scenario.ecus.push_back(std::move(ecu));
    }
    return scenario;
}

}  // namespace

ScenarioResult ParseScenarioText(const std::string& text, const std::string& origin) {
    ScenarioResult result;
    try {
        result.scenario = ScenarioOf(ParseDocument(text, origin), origin);
    } catch (const FileError& error) {
        result.error = error.what();
    } catch (const nlohmann::json::exception& error) {
        result.error = origin + ": " + error.what();
    }
    return result;
}

ScenarioResult ReadScenarioFile(const std::string& path) {
    try {
        return ParseScenarioText(ReadWholeFile(path), path);
    } catch (const FileError& error) {
        ScenarioResult result;
        result.error = error.what();
        return result;
    }
}

}  // namespace hostsim
