#include "hostsim/database/ModuleDatabases.h"

#include <algorithm>

namespace hostsim {

ModuleDatabases::ModuleDatabases(ParameterDatabase& described) : described_(described) {}

std::shared_ptr<ParameterDatabase> ModuleDatabases::For(ZModuleHandle handle) {
    // The described table lives as long as the host, which is never destroyed.
    std::shared_ptr<ParameterDatabase> described(std::shared_ptr<ParameterDatabase>(), &described_);
    if (!described_.IsEmpty()) return described;
    std::shared_ptr<ParameterDatabase> loaded = LoadedFor(handle);
    return loaded ? loaded : described;
}

std::shared_ptr<ParameterDatabase> ModuleDatabases::LoadedFor(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = loaded_.find(handle);
    return found != loaded_.end() ? found->second : nullptr;
}

void ModuleDatabases::Set(ZModuleHandle handle, std::shared_ptr<ParameterDatabase> database) {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_[handle] = std::move(database);
}

void ModuleDatabases::Remove(ZModuleHandle handle) {
    std::shared_ptr<ParameterDatabase> released;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto found = loaded_.find(handle);
        if (found == loaded_.end()) return;
        released = std::move(found->second);
        loaded_.erase(found);
    }
}

std::vector<ZUdi> ModuleDatabases::DiscoveryUdis() {
    std::vector<ZUdi> udis = described_.DiscoveryUdis();
    if (!described_.IsEmpty()) return udis;
    std::vector<std::shared_ptr<ParameterDatabase>> tables;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& entry : loaded_) tables.push_back(entry.second);
    }
    for (const auto& table : tables) {
        for (ZUdi udi : table->DiscoveryUdis()) {
            if (std::find(udis.begin(), udis.end(), udi) == udis.end()) udis.push_back(udi);
        }
    }
    return udis;
}

void ModuleDatabases::NoteLoadError(const std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    lastLoadError_ = error;
}

std::string ModuleDatabases::LastLoadError() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastLoadError_;
}

void ModuleDatabases::Reset() {
    std::map<ZModuleHandle, std::shared_ptr<ParameterDatabase>> released;
    std::lock_guard<std::mutex> lock(mutex_);
    released.swap(loaded_);
    lastLoadError_.clear();
}

}  // namespace hostsim
