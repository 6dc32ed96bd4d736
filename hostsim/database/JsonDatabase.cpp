#include "hostsim/database/JsonDatabase.h"

#include <algorithm>
#include <limits>
#include <set>

#include "hostsim/TextConvert.h"
#include "hostsim/database/JsonFields.h"

namespace hostsim {
namespace {

using namespace hostsim::jsonfields;
using nlohmann::json;

constexpr uint64_t kMaxPgn = 0x3FFFF;
constexpr uint64_t kMaxTeskId = std::numeric_limits<TESKID>::max();
constexpr uint64_t kMaxUdi = std::numeric_limits<ZUdi>::max();
constexpr uint64_t kMaxStartByte = 1785;
constexpr uint64_t kMaxStartBit = 8;
constexpr uint64_t kMaxNumberBits = 32;
constexpr uint64_t kMaxAsciiBits = 64;
constexpr uint64_t kMaxField = 255;
constexpr uint64_t kMaxSpn = 0x7FFFF;
constexpr uint64_t kMaxCategoryType = 0xFFFF;
constexpr uint64_t kMaxGuidedTest = 0xFFFF;
constexpr uint64_t kMaxKind = 0xFFFFFFFF;
constexpr int64_t kMinCategoryId = std::numeric_limits<ZCategoryId>::min();
constexpr int64_t kMaxCategoryId = std::numeric_limits<ZCategoryId>::max();
constexpr int64_t kMinSecurity = std::numeric_limits<int16_t>::min();
constexpr int64_t kMaxSecurity = std::numeric_limits<int16_t>::max();
constexpr unsigned kByteBits = 8;
constexpr const wchar_t* kNotReceivedText = L"N/A";

std::string Item(const char* list, size_t index, const std::string& name) {
    std::string where = std::string(list) + "[" + std::to_string(index) + "]";
    return name.empty() ? where : where + " (" + name + ")";
}

std::string NameOf(const json& item) {
    return Has(item, "name") && item.at("name").is_string() ? item.at("name").get<std::string>() : std::string();
}

SpnLayout::Type TypeOf(const std::string& text, const std::string& where) {
    if (text == "number") return SpnLayout::Type::Number;
    if (text == "states") return SpnLayout::Type::States;
    if (text == "text") return SpnLayout::Type::Text;
    if (text == "ascii") return SpnLayout::Type::Ascii;
    Fail(where, "'type' \"" + text + "\" is not one of number, states, text, ascii");
}

std::map<uint32_t, std::string> StatesOf(const json& item, const std::string& where) {
    std::map<uint32_t, std::string> states;
    const json& object = Required(item, "states", where);
    if (!object.is_object() || object.empty()) Fail(where, "'states' must be an object of value texts");
    for (auto state = object.begin(); state != object.end(); ++state) {
        if (!state.value().is_string()) Fail(where, "'states' \"" + state.key() + "\" must be a text");
        auto value = Unsigned(json(state.key()), 0, std::numeric_limits<uint32_t>::max(), where, "states");
        states[static_cast<uint32_t>(value)] = state.value().get<std::string>();
    }
    return states;
}

SpnLayout LayoutOf(const json& item, const std::string& where) {
    SpnLayout layout;
    layout.spn = static_cast<uint32_t>(UnsignedOr(item, "spn", 0, 0, kMaxSpn, where));
    if (!Has(item, "byte")) return layout;  // carried in no message data (host-side data points)
    layout.type = TypeOf(TextOr(item, "type", "number", where), where);
    layout.startByte = static_cast<uint16_t>(Unsigned(item.at("byte"), 1, kMaxStartByte, where, "byte"));
    layout.startBit = static_cast<uint8_t>(UnsignedOr(item, "bit", 1, 1, kMaxStartBit, where));
    layout.resolution = NumberOr(item, "resolution", 1.0, where);
    layout.offset = NumberOr(item, "offset", 0.0, where);
    layout.unit = TextOr(item, "unit", "", where);
    switch (layout.type) {
        case SpnLayout::Type::Number:
        case SpnLayout::Type::States:
            layout.bits =
                static_cast<uint8_t>(Unsigned(Required(item, "bits", where), 1, kMaxNumberBits, where, "bits"));
            if (layout.resolution == 0.0) Fail(where, "'resolution' must not be 0");
            if (layout.type == SpnLayout::Type::States) layout.states = StatesOf(item, where);
            break;
        case SpnLayout::Type::Text:
            layout.field = static_cast<uint8_t>(UnsignedOr(item, "field", 0, 0, kMaxField, where));
            break;
        case SpnLayout::Type::Ascii: {
            uint64_t bits = Unsigned(Required(item, "bits", where), kByteBits, kMaxAsciiBits, where, "bits");
            if (bits % kByteBits != 0) Fail(where, "'bits' of an ascii field must be whole bytes");
            layout.bits = static_cast<uint8_t>(bits);
            break;
        }
    }
    return layout;
}

DatabaseDataPoint DataPointOf(const json& item, const std::string& where) {
    DatabaseDataPoint entry;
    DataPointDefinition& described = entry.described;
    described.teskId = static_cast<TESKID>(Unsigned(Required(item, "teskId", where), 1, kMaxTeskId, where, "teskId"));
    described.name = Text(item, "name", where);
    described.description = Utf8ToWide(TextOr(item, "text", described.name, where));
    described.attribute.pgn = static_cast<uint32_t>(Unsigned(Required(item, "pgn", where), 0, kMaxPgn, where, "pgn"));
    described.attribute.security =
        static_cast<int16_t>(SignedOr(item, "security", 0, kMinSecurity, kMaxSecurity, where));
    described.attribute.guidedTest = static_cast<uint16_t>(UnsignedOr(item, "guidedTest", 0, 0, kMaxGuidedTest, where));
    described.attribute.kind = static_cast<uint32_t>(UnsignedOr(item, "kind", 0, 0, kMaxKind, where));
    if (Has(item, "udis")) {
        const json& udis = item.at("udis");
        if (!udis.is_array()) Fail(where, "'udis' must be a list of numbers");
        for (const json& udi : udis)
            described.udis.push_back(static_cast<ZUdi>(Unsigned(udi, 0, kMaxUdi, where, "udis")));
    }
    if (Has(item, "query")) described.query = HexBytes(Text(item, "query", where), where, "query");
    described.valueText = Utf8ToWide(TextOr(item, "initialText", "", where));
    if (described.valueText.empty()) described.valueText = kNotReceivedText;
    described.layout = LayoutOf(item, where);
    // The host lists every parameter of a file until a plug-in hides some (a file may
    // say otherwise).
    described.visible = BoolOr(item, "visible", true, where);
    entry.group = Text(item, "group", where);
    entry.categories = TextList(item, "categories", where);
    return entry;
}

template <typename T>
void RequireUnique(std::set<T>& seen, const T& value, const std::string& where, const std::string& what) {
    if (!seen.insert(value).second) Fail(where, what + " appears twice");
}

DatabaseFile FileOf(const json& document, const std::string& origin) {
    if (!document.is_object()) Fail(origin, "the top level must be an object");
    DatabaseFile file;
    file.origin = origin;

    std::set<std::string> categoryNames;
    std::set<ZCategoryId> categoryIds;
    const json& categories = ArrayOf(document, "categories", origin);
    for (size_t i = 0; i < categories.size(); ++i) {
        std::string where = origin + ": " + Item("categories", i, NameOf(categories[i]));
        CategoryDefinition category;
        category.id = static_cast<ZCategoryId>(SignedOr(categories[i], "id", 0, kMinCategoryId, kMaxCategoryId, where));
        if (!Has(categories[i], "id")) Fail(where, "'id' is missing");
        category.name = Text(categories[i], "name", where);
        category.displayName = Utf8ToWide(TextOr(categories[i], "text", category.name, where));
        category.type = static_cast<uint16_t>(UnsignedOr(categories[i], "type", 0, 0, kMaxCategoryType, where));
        RequireUnique(categoryNames, category.name, where, "category name \"" + category.name + "\"");
        RequireUnique(categoryIds, category.id, where, "category id " + std::to_string(category.id));
        file.categories.push_back(category);
    }

    std::set<std::string> groups;
    std::set<TESKID> teskIds;
    std::set<std::string> names;
    const json& dataPoints = ArrayOf(document, "dataPoints", origin);
    for (size_t i = 0; i < dataPoints.size(); ++i) {
        std::string where = origin + ": " + Item("dataPoints", i, NameOf(dataPoints[i]));
        DatabaseDataPoint entry = DataPointOf(dataPoints[i], where);
        RequireUnique(teskIds, entry.described.teskId, where, "TESKID " + std::to_string(entry.described.teskId));
        RequireUnique(names, entry.described.name, where, "data-point name \"" + entry.described.name + "\"");
        for (const std::string& category : entry.categories) {
            if (categoryNames.count(category) == 0) Fail(where, "category \"" + category + "\" is not in the file");
        }
        groups.insert(entry.group);
        file.dataPoints.push_back(std::move(entry));
    }

    std::set<std::string> componentNames;
    const json& components = ArrayOf(document, "components", origin);
    for (size_t i = 0; i < components.size(); ++i) {
        std::string where = origin + ": " + Item("components", i, NameOf(components[i]));
        DatabaseComponent component;
        component.name = Text(components[i], "name", where);
        component.displayName = Utf8ToWide(TextOr(components[i], "text", component.name, where));
        component.groups = TextList(components[i], "groups", where);
        for (const std::string& group : component.groups) {
            if (groups.count(group) == 0) Fail(where, "group \"" + group + "\" has no data points in the file");
        }
        RequireUnique(componentNames, component.name, where, "component \"" + component.name + "\"");
        file.components.push_back(component);
    }

    std::set<std::string> vehicleNames;
    const json& vehicles = ArrayOf(document, "vehicles", origin);
    if (vehicles.empty()) Fail(origin, "'vehicles' must name at least one vehicle");
    for (size_t i = 0; i < vehicles.size(); ++i) {
        std::string where = origin + ": " + Item("vehicles", i, NameOf(vehicles[i]));
        DatabaseVehicle vehicle;
        vehicle.name = Text(vehicles[i], "name", where);
        vehicle.displayName = Utf8ToWide(TextOr(vehicles[i], "text", vehicle.name, where));
        vehicle.components = TextList(vehicles[i], "components", where);
        for (const std::string& component : vehicle.components) {
            if (componentNames.count(component) == 0) Fail(where, "component \"" + component + "\" is not in the file");
        }
        RequireUnique(vehicleNames, vehicle.name, where, "vehicle \"" + vehicle.name + "\"");
        file.vehicles.push_back(vehicle);
    }

    if (Has(document, "discoveryUdis")) {
        const json& udis = document.at("discoveryUdis");
        if (!udis.is_array()) Fail(origin, "'discoveryUdis' must be a list of numbers");
        for (const json& udi : udis) {
            file.discoveryUdis.push_back(static_cast<ZUdi>(Unsigned(udi, 0, kMaxUdi, origin, "discoveryUdis")));
        }
    }
    return file;
}

bool Contains(const std::vector<std::string>& list, const std::string& value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

}  // namespace

DatabaseResult ParseDatabaseText(const std::string& text, const std::string& origin) {
    return ParseJsonText(text, origin, &DatabaseResult::file, FileOf);
}

DatabaseResult ReadDatabaseFile(const std::string& path) { return ReadJsonFile(path, &DatabaseResult::file, FileOf); }

std::optional<ModuleContents> SelectComponents(const DatabaseFile& file, const std::string& vehicleName,
                                               const std::vector<std::string>& requested, std::string& error) {
    auto vehicle = std::find_if(file.vehicles.begin(), file.vehicles.end(),
                                [&](const DatabaseVehicle& v) { return v.name == vehicleName; });
    if (vehicle == file.vehicles.end()) {
        error = file.origin + ": no vehicle \"" + vehicleName + "\"";
        return std::nullopt;
    }
    ModuleContents contents;
    contents.discoveryUdis = file.discoveryUdis;
    std::vector<std::string> groups;
    for (const std::string& name : requested) {
        if (!Contains(vehicle->components, name) || Contains(contents.components, name)) continue;
        contents.components.push_back(name);
        for (const DatabaseComponent& component : file.components) {
            if (component.name != name) continue;
            for (const std::string& group : component.groups) {
                if (!Contains(groups, group)) groups.push_back(group);
            }
        }
    }
    std::vector<const DatabaseDataPoint*> chosen;
    for (const DatabaseDataPoint& dataPoint : file.dataPoints) {
        if (!Contains(groups, dataPoint.group)) continue;
        chosen.push_back(&dataPoint);
        contents.dataPoints.push_back(dataPoint.described);
    }
    for (const CategoryDefinition& category : file.categories) {
        CategoryDefinition held = category;
        for (const DatabaseDataPoint* dataPoint : chosen) {
            if (Contains(dataPoint->categories, category.name)) held.teskIds.push_back(dataPoint->described.teskId);
        }
        if (!held.teskIds.empty()) contents.categories.push_back(held);
    }
    return contents;
}

}  // namespace hostsim
