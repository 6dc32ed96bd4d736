#include "hostsim/database/ParameterFileLoader.h"

#include <memory>

#include "hostsim/HostSim.h"
#include "hostsim/database/JsonDatabase.h"
#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

constexpr const char* kDatabaseExtension = ".json";

}  // namespace

std::string DatabaseFileNameOf(const std::wstring& binFileName) {
    std::string name = WideToUtf8(binFileName);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + kDatabaseExtension;
}

ZResult LoadParameterFile(Host& host, ZModuleHandle handle, const std::wstring& fileName,
                          const std::wstring& vehicleName, const std::vector<std::string>& components) {
    host.moduleDatabases.Remove(handle);
    if (host.binFiles.Describes(fileName) || !host.database.IsEmpty()) {
        host.binFiles.Load(handle, fileName, components);
        host.moduleDatabases.NoteLoadError({});
        return kZorvSuccess;
    }
    host.binFiles.Unload(handle);
    std::string databaseName = DatabaseFileNameOf(fileName);
    std::string path = host.dataFolder.Find(databaseName);
    if (path.empty()) {
        host.moduleDatabases.NoteLoadError("no parameter database " + databaseName + " in " + host.dataFolder.Get());
        return kResultFileNotFound;
    }
    DatabaseResult read = ReadDatabaseFile(path);
    if (!read.file) {
        host.moduleDatabases.NoteLoadError(read.error);
        return kResultBadFile;
    }
    std::string error;
    auto contents = SelectComponents(*read.file, WideToUtf8(vehicleName), components, error);
    if (!contents) {
        host.moduleDatabases.NoteLoadError(error);
        return kResultNotFound;
    }
    host.moduleDatabases.Set(handle, std::make_shared<ParameterDatabase>(contents->dataPoints, contents->categories,
                                                                         contents->discoveryUdis));
    host.binFiles.SetLoaded(handle, contents->components);
    host.moduleDatabases.NoteLoadError({});
    return kZorvSuccess;
}

void UnloadParameterFile(Host& host, ZModuleHandle handle) {
    host.binFiles.Unload(handle);
    host.moduleDatabases.Remove(handle);
}

}  // namespace hostsim
