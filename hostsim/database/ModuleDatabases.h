// Which table of the parameter database answers for a module handle. While a test has
// described a database by hand (AddDataPoint, AddCategory, SetDiscoveryUdis), that table
// answers for every module, so that a test's few data points are what every module sees
// whichever file it loads. Otherwise a module answers from the table
// built when its parameter file was loaded from the data folder, and a module without a
// loaded file from the empty hand-described table.
//
// Tables are handed out as shared pointers: a plug-in thread may still read one while
// another thread unloads the module's file.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/database/ParameterDatabase.h"

namespace hostsim {

class ModuleDatabases {
public:
    explicit ModuleDatabases(ParameterDatabase& described);

    std::shared_ptr<ParameterDatabase> For(ZModuleHandle handle);
    // The module's own table, if one was loaded, even while a described one answers.
    std::shared_ptr<ParameterDatabase> LoadedFor(ZModuleHandle handle);
    void Set(ZModuleHandle handle, std::shared_ptr<ParameterDatabase> database);
    void Remove(ZModuleHandle handle);
    // Discovery identifiers of the described table, else those of every loaded file.
    std::vector<ZUdi> DiscoveryUdis();
    // Why the last parameter file failed to load (empty after a load that worked).
    void NoteLoadError(const std::string& error);
    std::string LastLoadError();
    void Reset();

private:
    ParameterDatabase& described_;
    std::mutex mutex_;
    std::map<ZModuleHandle, std::shared_ptr<ParameterDatabase>> loaded_;
    std::string lastLoadError_;
};

}  // namespace hostsim
