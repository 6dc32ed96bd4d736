#include "hostsim/database/ParameterDatabase.h"

#include <algorithm>

#include "hostsim/database/SpnDecoder.h"

namespace hostsim {

ParameterDatabase::ParameterDatabase(const std::vector<DataPointDefinition>& dataPoints,
                                     const std::vector<CategoryDefinition>& categories,
                                     const std::vector<ZUdi>& discoveryUdis)
    : categories_(categories), discoveryUdis_(discoveryUdis) {
    for (const DataPointDefinition& dataPoint : dataPoints) dataPoints_.push_back(Entry{dataPoint, false, {}});
}

bool ParameterDatabase::IsEmpty() {
    std::lock_guard<std::mutex> lock(mutex_);
    return dataPoints_.empty() && categories_.empty() && discoveryUdis_.empty();
}

void ParameterDatabase::AddDataPoint(const DataPointDefinition& dataPoint) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* existing = FindLocked(dataPoint.teskId);
    if (existing != nullptr) {
        *existing = Entry{dataPoint, false, {}};
        return;
    }
    dataPoints_.push_back(Entry{dataPoint, false, {}});
}

size_t ParameterDatabase::DataPointCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return dataPoints_.size();
}

std::optional<DataPointDefinition> ParameterDatabase::DataPointAt(size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= dataPoints_.size()) return std::nullopt;
    return dataPoints_[index].described;
}

std::optional<DataPointDefinition> ParameterDatabase::Find(TESKID teskId) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return std::nullopt;
    return entry->described;
}

std::optional<DataPointDefinition> ParameterDatabase::FindByName(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& entry : dataPoints_) {
        if (entry.described.name == name) return entry.described;
    }
    return std::nullopt;
}

std::optional<size_t> ParameterDatabase::IndexOf(TESKID teskId) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < dataPoints_.size(); ++i) {
        if (dataPoints_[i].described.teskId == teskId) return i;
    }
    return std::nullopt;
}

std::vector<TESKID> ParameterDatabase::TeskIdsForUdis(const std::vector<ZUdi>& udis) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TESKID> teskIds;
    for (ZUdi udi : udis) {
        for (const Entry& entry : dataPoints_) {
            const auto& named = entry.described.udis;
            if (std::find(named.begin(), named.end(), udi) != named.end()) {
                teskIds.push_back(entry.described.teskId);
            }
        }
    }
    return teskIds;
}

std::optional<size_t> ParameterDatabase::PgnIndex(ZPgn pgn) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ZPgn> pgns = PgnsLocked();
    auto found = std::find(pgns.begin(), pgns.end(), pgn);
    if (found == pgns.end()) return std::nullopt;
    return static_cast<size_t>(found - pgns.begin());
}

std::optional<std::vector<TESKID>> ParameterDatabase::TeskIdsOfPgnIndex(size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ZPgn> pgns = PgnsLocked();
    if (index >= pgns.size()) return std::nullopt;
    std::vector<TESKID> teskIds;
    for (const Entry& entry : dataPoints_) {
        if (entry.described.attribute.pgn == pgns[index]) teskIds.push_back(entry.described.teskId);
    }
    return teskIds;
}

bool ParameterDatabase::SetVisible(TESKID teskId, bool visible) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return false;
    entry->described.visible = visible;
    return true;
}

bool ParameterDatabase::SetValid(TESKID teskId, bool valid) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return false;
    entry->described.valid = valid;
    return true;
}

bool ParameterDatabase::SetValue(TESKID teskId, const std::vector<uint8_t>& value) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return false;
    entry->described.value = value;
    return true;
}

bool ParameterDatabase::SetDisplayValue(TESKID teskId, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return false;
    entry->hasDisplayValue = true;
    entry->displayValue = text;
    return true;
}

std::vector<TESKID> ParameterDatabase::DecodeMessage(ZPgn pgn, const uint8_t* data, size_t size) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<TESKID> decoded;
    for (Entry& entry : dataPoints_) {
        DataPointDefinition& dataPoint = entry.described;
        if (dataPoint.attribute.pgn != pgn || dataPoint.layout.startByte == 0) continue;
        DecodedSpn value = DecodeSpn(dataPoint.layout, data, size);
        dataPoint.value = std::move(value.raw);
        dataPoint.valueText = std::move(value.text);
        ++entry.updates;
        decoded.push_back(dataPoint.teskId);
    }
    return decoded;
}

std::optional<std::wstring> ParameterDatabase::ValueText(TESKID teskId) {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return std::nullopt;
    return entry->hasDisplayValue ? entry->displayValue : entry->described.valueText;
}

DataPointState ParameterDatabase::State(TESKID teskId) {
    std::lock_guard<std::mutex> lock(mutex_);
    DataPointState state;
    Entry* entry = FindLocked(teskId);
    if (entry == nullptr) return state;
    state.known = true;
    state.teskId = teskId;
    state.name = entry->described.name;
    state.spn = entry->described.layout.spn;
    state.unit = entry->described.layout.unit;
    state.description = entry->described.description;
    state.updates = entry->updates;
    state.visible = entry->described.visible;
    state.valid = entry->described.valid;
    state.hasDisplayValue = entry->hasDisplayValue;
    state.displayValue = entry->displayValue;
    state.value = entry->described.value;
    state.valueText = entry->hasDisplayValue ? entry->displayValue : entry->described.valueText;
    return state;
}

void ParameterDatabase::AddCategory(const CategoryDefinition& category) {
    std::lock_guard<std::mutex> lock(mutex_);
    categories_.push_back(category);
}

size_t ParameterDatabase::CategoryCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return categories_.size();
}

std::optional<CategoryDefinition> ParameterDatabase::CategoryAt(size_t index) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= categories_.size()) return std::nullopt;
    return categories_[index];
}

std::optional<size_t> ParameterDatabase::CategoryIndexOf(ZCategoryId id) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (size_t i = 0; i < categories_.size(); ++i) {
        if (categories_[i].id == id) return i;
    }
    return std::nullopt;
}

void ParameterDatabase::SetDiscoveryUdis(const std::vector<ZUdi>& udis) {
    std::lock_guard<std::mutex> lock(mutex_);
    discoveryUdis_ = udis;
}

std::vector<ZUdi> ParameterDatabase::DiscoveryUdis() {
    std::lock_guard<std::mutex> lock(mutex_);
    return discoveryUdis_;
}

void ParameterDatabase::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    dataPoints_.clear();
    categories_.clear();
    discoveryUdis_.clear();
}

ParameterDatabase::Entry* ParameterDatabase::FindLocked(TESKID teskId) {
    for (Entry& entry : dataPoints_) {
        if (entry.described.teskId == teskId) return &entry;
    }
    return nullptr;
}

std::vector<ZPgn> ParameterDatabase::PgnsLocked() {
    std::vector<ZPgn> pgns;
    for (const Entry& entry : dataPoints_) {
        ZPgn pgn = entry.described.attribute.pgn;  // a packed field binds to no reference
        if (std::find(pgns.begin(), pgns.end(), pgn) == pgns.end()) pgns.push_back(pgn);
    }
    return pgns;
}

}  // namespace hostsim
