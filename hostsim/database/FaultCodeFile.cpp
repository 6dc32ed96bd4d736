#include "hostsim/database/FaultCodeFile.h"

#include <limits>
#include <set>

#include "hostsim/TextConvert.h"
#include "hostsim/database/JsonFields.h"
#include "j1939/Protocol.h"

namespace hostsim {
namespace {

using namespace hostsim::jsonfields;
using nlohmann::json;

constexpr uint64_t kMaxGroupId = std::numeric_limits<ZFaultGroupId>::max();
constexpr uint64_t kMaxAttributeId = std::numeric_limits<uint16_t>::max();
constexpr uint64_t kMaxSpn = 0x7FFFF;
constexpr uint64_t kMaxFmi = 31;

std::string Item(const std::string& origin, const char* list, size_t index) {
    return origin + ": " + list + "[" + std::to_string(index) + "]";
}

uint32_t MessageOf(const std::string& text, const std::string& where) {
    if (text == "DM1") return j1939::kPgnDm1;
    if (text == "DM2") return j1939::kPgnDm2;
    if (text.empty()) return 0;
    Fail(where, "'message' \"" + text + "\" is not DM1 or DM2");
}

std::vector<FaultGroupDefinition> GroupsOf(const json& document, const std::string& origin) {
    std::vector<FaultGroupDefinition> groups;
    std::set<ZFaultGroupId> ids;
    const json& list = ArrayOf(document, "groups", origin);
    for (size_t i = 0; i < list.size(); ++i) {
        std::string where = Item(origin, "groups", i);
        FaultGroupDefinition group;
        group.id = static_cast<ZFaultGroupId>(Unsigned(Required(list[i], "id", where), 0, kMaxGroupId, where, "id"));
        group.name = Text(list[i], "name", where);
        group.status = TextOr(list[i], "status", group.name, where);
        group.messagePgn = MessageOf(TextOr(list[i], "message", "", where), where);
        if (!ids.insert(group.id).second) Fail(where, "group id " + std::to_string(group.id) + " appears twice");
        groups.push_back(group);
    }
    return groups;
}

std::vector<FaultAttributeDefinition> AttributesOf(const json& document, const std::string& origin) {
    std::vector<FaultAttributeDefinition> attributes;
    std::set<std::string> keys;
    std::set<uint16_t> ids;
    const json& list = ArrayOf(document, "attributes", origin);
    for (size_t i = 0; i < list.size(); ++i) {
        std::string where = Item(origin, "attributes", i);
        FaultAttributeDefinition attribute;
        attribute.key = Text(list[i], "key", where);
        attribute.attributeId =
            static_cast<uint16_t>(Unsigned(Required(list[i], "id", where), 1, kMaxAttributeId, where, "id"));
        attribute.displayName = Utf8ToWide(TextOr(list[i], "text", attribute.key, where));
        if (!keys.insert(attribute.key).second) Fail(where, "attribute \"" + attribute.key + "\" appears twice");
        if (!ids.insert(attribute.attributeId).second) Fail(where, "attribute id appears twice");
        attributes.push_back(attribute);
    }
    return attributes;
}

SpnFaultText SpnOf(const json& item, const std::string& where) {
    SpnFaultText spn;
    spn.description = Text(item, "text", where);
    if (Has(item, "related")) {
        const json& related = item.at("related");
        if (!related.is_array()) Fail(where, "'related' must be a list of SPNs");
        spn.hasRelated = true;
        for (const json& number : related) {
            spn.relatedSpns.push_back(static_cast<uint32_t>(Unsigned(number, 0, kMaxSpn, where, "related")));
        }
    }
    if (Has(item, "fmis")) {
        const json& fmis = item.at("fmis");
        if (!fmis.is_object()) Fail(where, "'fmis' must be an object of FMI texts");
        for (auto fmi = fmis.begin(); fmi != fmis.end(); ++fmi) {
            auto number = static_cast<uint8_t>(Unsigned(json(fmi.key()), 0, kMaxFmi, where, "fmis"));
            std::string place = where + " FMI " + fmi.key();
            spn.fmis[number] = {TextOr(fmi.value(), "text", "", place), TextOr(fmi.value(), "flashCode", "", place)};
        }
    }
    return spn;
}

FaultCodeFile FileOf(const json& document, const std::string& origin) {
    if (!document.is_object()) Fail(origin, "the top level must be an object");
    FaultCodeFile file;
    file.groups = GroupsOf(document, origin);
    file.attributes = AttributesOf(document, origin);
    const json& spns = ArrayOf(document, "spns", origin);
    for (size_t i = 0; i < spns.size(); ++i) {
        std::string where = Item(origin, "spns", i);
        auto number = static_cast<uint32_t>(Unsigned(Required(spns[i], "spn", where), 0, kMaxSpn, where, "spn"));
        if (!file.spns.emplace(number, SpnOf(spns[i], where)).second) {
            Fail(where, "SPN " + std::to_string(number) + " appears twice");
        }
    }
    return file;
}

}  // namespace

FaultCodeFileResult ParseFaultCodeText(const std::string& text, const std::string& origin) {
    return ParseJsonText(text, origin, &FaultCodeFileResult::file, FileOf);
}

FaultCodeFileResult ReadFaultCodeFile(const std::string& path) {
    return ReadJsonFile(path, &FaultCodeFileResult::file, FileOf);
}

}  // namespace hostsim
