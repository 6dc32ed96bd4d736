// One table of the host's parameter database: data points with their attributes,
// decoding, values and visibility, the categories of vehicle 0, and the identifiers that
// discovery asks for. The host keeps one table that tests describe by hand, answered for
// every module, and one per module whose parameter file was read from the data folder.
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
    ParameterDatabase() = default;
    ParameterDatabase(const std::vector<DataPointDefinition>& dataPoints, const std::vector<CategoryDefinition>& categories,
                      const std::vector<ZUdi>& discoveryUdis);

    // Nothing described: no data point, no category, no discovery identifier.
    bool IsEmpty();

    void AddDataPoint(const DataPointDefinition& dataPoint);
    size_t DataPointCount();
    std::optional<DataPointDefinition> DataPointAt(size_t index);
    std::optional<DataPointDefinition> Find(TESKID teskId);
    std::optional<DataPointDefinition> FindByName(const std::string& name);
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
    // The J1939 parser's work on one message: every data point carried in the data of the
    // PGN takes the raw value and value text decoded from `data`. Gives the data points
    // decoded, in table order.
    std::vector<TESKID> DecodeMessage(ZPgn pgn, const uint8_t* data, size_t size);
    // The display text of a data point: its display value once set, else its value text.
    std::optional<std::wstring> ValueText(TESKID teskId);
    DataPointState State(TESKID teskId);

    void AddCategory(const CategoryDefinition& category);
    size_t CategoryCount();
    std::optional<CategoryDefinition> CategoryAt(size_t index);
    std::optional<size_t> CategoryIndexOf(ZCategoryId id);

    void SetDiscoveryUdis(const std::vector<ZUdi>& udis);
    std::vector<ZUdi> DiscoveryUdis();

    void Reset();

private:
    struct Entry {
        DataPointDefinition described;
        bool hasDisplayValue = false;
        std::wstring displayValue;
        uint32_t updates = 0;  // values the parser decoded into it
    };

    Entry* FindLocked(TESKID teskId);
    std::vector<ZPgn> PgnsLocked();

    std::mutex mutex_;
    std::vector<Entry> dataPoints_;
    std::vector<CategoryDefinition> categories_;
    std::vector<ZUdi> discoveryUdis_;
};

}  // namespace hostsim
