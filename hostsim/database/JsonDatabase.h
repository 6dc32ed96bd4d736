// Parameter database files: the JSON file behind a ".BIN" name that the host loads for a
// module. A file lists vehicles, the components each vehicle holds, categories, and the
// data points of the file, each in one group; a component chooses the groups its module
// gets. Loading a module keeps the data points of the groups of the components asked for
// and the categories that hold any of them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "hostsim/HostSimTypes.h"

namespace hostsim {

struct DatabaseVehicle {
    std::string name;
    std::wstring displayName;
    std::vector<std::string> components;
};

struct DatabaseComponent {
    std::string name;
    std::wstring displayName;
    std::vector<std::string> groups;
};

struct DatabaseDataPoint {
    DataPointDefinition described;
    std::string group;
    std::vector<std::string> categories;  // category names
};

struct DatabaseFile {
    std::string origin;
    std::vector<DatabaseVehicle> vehicles;
    std::vector<DatabaseComponent> components;
    std::vector<CategoryDefinition> categories;  // without data points; members are listed by the data points
    std::vector<DatabaseDataPoint> dataPoints;
    std::vector<ZUdi> discoveryUdis;
};

// What a module sees of a file: the components asked for that the vehicle holds (in the
// order asked), their data points and the categories holding them.
struct ModuleContents {
    std::vector<std::string> components;
    std::vector<DataPointDefinition> dataPoints;
    std::vector<CategoryDefinition> categories;
    std::vector<ZUdi> discoveryUdis;
};

// Exactly one of the two is set.
struct DatabaseResult {
    std::optional<DatabaseFile> file;
    std::string error;
};

DatabaseResult ParseDatabaseText(const std::string& text, const std::string& origin);
DatabaseResult ReadDatabaseFile(const std::string& path);

// Nothing, with the reason, when the file has no such vehicle.
std::optional<ModuleContents> SelectComponents(const DatabaseFile& file, const std::string& vehicleName,
                                               const std::vector<std::string>& requested, std::string& error);

}  // namespace hostsim
