#include "hostsim/database/Scenario.h"

#include <initializer_list>
#include <limits>
#include <set>
#include <sstream>
#include <utility>

#include "hostsim/bus/FreezeFrame.h"
#include "hostsim/database/JsonFields.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

using namespace hostsim::jsonfields;
using nlohmann::json;

constexpr uint64_t kMaxPgn = 0x3FFFF;
constexpr uint64_t kMaxDelayMs = 60000;
constexpr uint64_t kMaxPeriodMs = 3600000;
constexpr uint64_t kMaxGapMs = 1000;
constexpr uint64_t kMaxByte = 0xFF;
constexpr uint64_t kMaxSpn = 0x7FFFF;
constexpr uint64_t kMaxFmi = 0x1F;
constexpr uint64_t kMaxCountedOccurrences = 126;
constexpr size_t kDm1LampBytes = 2;
// The parameter groups a fault state answers in place of "pgns".
constexpr ZPgn kFaultPgns[] = {j1939::kPgnDm1, j1939::kPgnDm2, j1939::kPgnDm3, j1939::kPgnDm4, j1939::kPgnDm11};

// The value a text names among a field's choices; the error lists them all.
template <typename Value>
Value ChoiceOf(const std::string& text, std::initializer_list<std::pair<const char*, Value>> choices,
               const std::string& where, const char* key) {
    std::string names;
    for (const auto& choice : choices) {
        if (text == choice.first) return choice.second;
        names += std::string(names.empty() ? "" : ", ") + choice.first;
    }
    Fail(where, std::string("'") + key + "' \"" + text + "\" is not one of " + names);
}

Behaviour BehaviourOf(const std::string& text, const std::string& where, const char* key) {
    return ChoiceOf<Behaviour>(text,
                               {{"answer", Behaviour::Answer},
                                {"nack", Behaviour::Nack},
                                {"ack", Behaviour::Ack},
                                {"ignore", Behaviour::Ignore},
                                {"broadcast", Behaviour::Broadcast}},
                               where, key);
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
    pgn.priority =
        static_cast<uint8_t>(UnsignedOr(item, "priority", j1939::kDefaultPriority, 0, j1939::kMaxPriority, where));
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
        pgn.periodMs =
            static_cast<uint32_t>(Unsigned(Required(item, "periodMs", where), 1, kMaxPeriodMs, where, "periodMs"));
    } else if (Has(item, "periodMs")) {
        Fail(where, "'periodMs' belongs to a broadcast");
    }
    return pgn;
}

// A misspelt key would silently leave a fault state empty, so fault objects name theirs.
void OnlyKeys(const json& object, std::initializer_list<const char*> keys, const std::string& where) {
    for (auto entry = object.begin(); entry != object.end(); ++entry) {
        bool known = false;
        std::string list;
        for (const char* key : keys) {
            known = known || entry.key() == key;
            list += std::string(list.empty() ? "" : ", ") + key;
        }
        if (!known) Fail(where, "unknown key '" + entry.key() + "' (expected " + list + ")");
    }
}

const json& ObjectAt(const json& object, const char* key, const std::string& where) {
    const json& value = object.at(key);
    if (!value.is_object()) Fail(where, std::string("'") + key + "' must be an object");
    return value;
}

LampStatus LampOf(const json& lamps, const char* key, const std::string& where) {
    return ChoiceOf<LampStatus>(TextOr(lamps, key, "off", where),
                                {{"off", kLampSteadyOff},
                                 {"on", kLampSteadyOn},
                                 {"slow-flash", {kLampOn, kLampSlowFlash}},
                                 {"fast-flash", {kLampOn, kLampFastFlash}},
                                 {"not-available", {kLampNotAvailable, kLampNoFlash}}},
                                where, key);
}

DtcLamps LampsOf(const json& faults, const std::string& where) {
    if (!Has(faults, "lamps")) return kAllLampsOff;
    std::string place = where + ": lamps";
    const json& lamps = ObjectAt(faults, "lamps", where);
    OnlyKeys(lamps, {"mil", "redStop", "amberWarning", "protect"}, place);
    return {LampOf(lamps, "mil", place), LampOf(lamps, "redStop", place), LampOf(lamps, "amberWarning", place),
            LampOf(lamps, "protect", place)};
}

std::vector<uint8_t> NamedFreezeFrame(const json& frame, const std::string& where) {
    std::vector<uint8_t> bytes;
    std::set<std::string> known = {"manufacturer"};
    for (const FreezeFrameParameter& parameter : FreezeFrameParameters()) {
        known.insert(parameter.key);
        std::optional<uint32_t> raw;
        if (Has(frame, parameter.key)) {
            double value = NumberOr(frame, parameter.key, 0.0, where);
            raw = FreezeFrameRaw(parameter, value);
            if (!raw) {
                std::ostringstream shown;
                shown << value << (*parameter.unit != '\0' ? " " : "") << parameter.unit;
                Fail(where, std::string("'") + parameter.key + "' " + shown.str() + " is outside what SPN " +
                                std::to_string(parameter.spn) + " can carry");
            }
        }
        AppendFreezeFrameParameter(bytes, parameter, raw);
    }
    for (auto entry = frame.begin(); entry != frame.end(); ++entry) {
        if (known.count(entry.key()) == 0) Fail(where, "unknown freeze-frame value '" + entry.key() + "'");
    }
    if (Has(frame, "manufacturer")) {
        std::vector<uint8_t> extra = HexBytes(Text(frame, "manufacturer", where), where, "manufacturer");
        bytes.insert(bytes.end(), extra.begin(), extra.end());
    }
    return bytes;
}

std::vector<uint8_t> FreezeFrameOf(const json& code, const std::string& where) {
    if (!Has(code, "freezeFrame")) return {};
    std::string place = where + ": freezeFrame";
    const json& frame = code.at("freezeFrame");
    std::vector<uint8_t> bytes;
    if (frame.is_string()) {
        bytes = HexBytes(frame.get<std::string>(), where, "freezeFrame");
        if (bytes.empty()) Fail(where, "'freezeFrame' holds no bytes");
    } else if (frame.is_object()) {
        bytes = NamedFreezeFrame(frame, place);
    } else {
        Fail(where, "'freezeFrame' must be an object of values or a text of hex bytes");
    }
    if (bytes.size() > kMaxFreezeFrameParameterBytes) {
        Fail(place, std::to_string(bytes.size()) + " bytes, more than the " +
                        std::to_string(kMaxFreezeFrameParameterBytes) + " a frame's length byte can count");
    }
    return bytes;
}

std::vector<SimulatedDtc> CodesOf(const json& faults, const char* key, const std::string& where) {
    std::vector<SimulatedDtc> codes;
    if (!Has(faults, key)) return codes;
    const json& list = ArrayOf(faults, key, where);
    std::set<std::pair<uint32_t, uint8_t>> seen;
    for (size_t i = 0; i < list.size(); ++i) {
        std::string place = where + ": " + key + "[" + std::to_string(i) + "]";
        const json& item = list[i];
        if (!item.is_object()) Fail(place, "must be an object with 'spn' and 'fmi'");
        OnlyKeys(item, {"spn", "fmi", "occurrences", "freezeFrame"}, place);
        SimulatedDtc code;
        code.dtc.spn = static_cast<uint32_t>(Unsigned(Required(item, "spn", place), 0, kMaxSpn, place, "spn"));
        code.dtc.fmi = static_cast<uint8_t>(Unsigned(Required(item, "fmi", place), 0, kMaxFmi, place, "fmi"));
        code.dtc.occurrenceCount = static_cast<uint8_t>(
            UnsignedOr(item, "occurrences", kOccurrenceCountNotAvailable, 0, kMaxCountedOccurrences, place));
        if (!seen.insert({code.dtc.spn, code.dtc.fmi}).second) Fail(place, "the SPN and FMI appear twice");
        code.freezeFrame = FreezeFrameOf(item, place);
        codes.push_back(std::move(code));
    }
    if (kDm1LampBytes + codes.size() * kDtcBytes > j1939::kTpMaxMessageBytes) {
        Fail(where, std::string("'") + key + "' holds more codes than one transport message carries");
    }
    return codes;
}

ClearReply ClearReplyOf(const json& faults, const char* key, const std::string& where) {
    return ChoiceOf<ClearReply>(TextOr(faults, key, "ack", where),
                                {{"ack", ClearReply::Ack},
                                 {"nack", ClearReply::Nack},
                                 {"ignore", ClearReply::Ignore},
                                 {"silent-clear", ClearReply::SilentClear}},
                                where, key);
}

SimulatedFaults FaultsOf(const json& item, const std::string& where) {
    std::string place = where + ": faults";
    const json& faults = ObjectAt(item, "faults", where);
    OnlyKeys(faults, {"lamps", "active", "previouslyActive", "dm1PeriodMs", "dm3", "dm11", "dm4"}, place);
    SimulatedFaults state;
    state.lamps = LampsOf(faults, place);
    state.active = CodesOf(faults, "active", place);
    state.previouslyActive = CodesOf(faults, "previouslyActive", place);
    const DtcLamps& lamps = state.lamps;
    bool lit = lamps.malfunction.state == kLampOn || lamps.redStop.state == kLampOn ||
               lamps.amberWarning.state == kLampOn || lamps.protect.state == kLampOn;
    if (lit && state.active.empty()) Fail(place, "a lamp is lit but no code is active");
    if (Dm4PayloadSize(state.active) + Dm4PayloadSize(state.previouslyActive) > j1939::kTpMaxMessageBytes) {
        Fail(place, "the freeze frames together are longer than the transport protocol's 1785 bytes");
    }
    state.dm1PeriodMs =
        static_cast<uint32_t>(UnsignedOr(faults, "dm1PeriodMs", kDefaultDm1PeriodMs, 0, kMaxPeriodMs, place));
    state.dm3 = ClearReplyOf(faults, "dm3", place);
    state.dm11 = ClearReplyOf(faults, "dm11", place);
    state.dm4 = ChoiceOf<NoFreezeFrameReply>(
        TextOr(faults, "dm4", "nack", place),
        {{"nack", NoFreezeFrameReply::Nack}, {"ignore", NoFreezeFrameReply::Ignore}}, place, "dm4");
    return state;
}

SimulatedTests TestsOf(const json& item, const std::string& where) {
    std::string place = where + ": dm7";
    const json& tests = ObjectAt(item, "dm7", where);
    SimulatedTests described;
    for (auto entry = tests.begin(); entry != tests.end(); ++entry) {
        std::string at = place + "[\"" + entry.key() + "\"]";
        auto spn = static_cast<uint32_t>(Unsigned(json(entry.key()), 0, kMaxSpn, at, "SPN"));
        if (!entry.value().is_string()) Fail(at, "must be \"pass\", \"fail\", \"nack\" or \"ignore\"");
        if (described.count(spn) != 0) Fail(at, "the SPN appears twice");
        described[spn] = ChoiceOf<TestOutcome>(entry.value().get<std::string>(),
                                               {{"pass", TestOutcome::Pass},
                                                {"fail", TestOutcome::Fail},
                                                {"nack", TestOutcome::Nack},
                                                {"ignore", TestOutcome::Ignore}},
                                               at, "dm7");
    }
    return described;
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
    if (Has(item, "dm7")) ecu.tests = TestsOf(item, where);
    if (Has(item, "faults")) {
        ecu.faults = FaultsOf(item, where);
        for (ZPgn pgn : kFaultPgns) {
            if (ecu.pgns.count(pgn) != 0) {
                Fail(where, "pgns[\"" + std::to_string(pgn) + "\"] is answered by 'faults'; list it in one place only");
            }
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
    return ParseJsonText(text, origin, &ScenarioResult::scenario, ScenarioOf);
}

ScenarioResult ReadScenarioFile(const std::string& path) {
    return ReadJsonFile(path, &ScenarioResult::scenario, ScenarioOf);
}

}  // namespace hostsim
