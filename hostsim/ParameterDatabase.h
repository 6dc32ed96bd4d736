// The host's parameter database as far as the stand-in host keeps one so far: data
// points with their attributes, values and visibility, the categories of vehicle 0, and
// the identifiers that discovery asks for. Every module handle sees the same table;
// the database read from files will take its place.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class ParameterDatabase {
public:
    void AddDataPoint(const DataPointSpec& dataPoint);
    size_t DataPointCount();
    std::optional<DataPointSpec> DataPointAt(size_t index);
    std::optional<DataPointSpec> Find(TESKID teskId);
    std::optional<DataPointSpec> FindByName(const std::string& name);
    std::optional<size_t> IndexOf(TESKID teskId);
    // Data points naming any of the identifiers, in the identifiers' order.
    std::vector<TESKID> TeskIdsForUdis(const std::vector<ZUdi>& udis);

    // Message table: the distinct PGNs of the data points in table order.
    std::optional<size_t> PgnIndex(ZPgn pgn);
    std::optional<std::vector<TESKID>> TeskIdsOfPgnIndex(size_t index);

    bool SetVisible(TESKID teskId, bool visible);
    bool SetValid(TESKID teskId, bool valid);
    bool SetValue(TESKID teskId, const std::vector<uint8_t>& value);
    bool SetDisplayValue(TESKID teskId, const std::wstring& text);
    // The display text of a data point: its display value once set, else its value text.
    std::optional<std::wstring> ValueText(TESKID teskId);
    DataPointState State(TESKID teskId);

    void AddCategory(const CategorySpec& category);
    size_t CategoryCount();
    std::optional<CategorySpec> CategoryAt(size_t index);
    std::optional<size_t> CategoryIndexOf(ZCategoryId id);

    void SetDiscoveryUdis(const std::vector<ZUdi>& udis);
    std::vector<ZUdi> DiscoveryUdis();

    void Reset();

private:
    struct Entry {
        DataPointSpec spec;
        bool hasDisplayValue = false;
        std::wstring displayValue;
    };

    Entry* FindLocked(TESKID teskId);
    std::vector<ZPgn> PgnsLocked();

    std::mutex mutex_;
    std::vector<Entry> dataPoints_;
    std::vector<CategorySpec> categories_;
    std::vector<ZUdi> discoveryUdis_;
};

}  // namespace hostsim
