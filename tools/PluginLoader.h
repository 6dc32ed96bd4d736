// Loads a vehicle-application plug-in the way the host does: dynamic loading, the
// GetDllInfo export, then entries by id from the dispatch table. Used by the
// command-line host and by the tests that see the plug-in only through its binary
// interface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/ZorvPlugin.h"

namespace marl::tools {

class PluginLoader {
public:
    PluginLoader() = default;
    ~PluginLoader();
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Loads the library and calls GetDllInfo. On failure Error() says why.
    bool Load(const std::string& path);
    void Unload();
    bool Loaded() const { return library_ != nullptr; }
    const std::string& Error() const { return error_; }

    zorv::PluginDescriptor* Descriptor() const { return descriptor_; }
    // Calls GetDllInfo again (the host may call it at any time).
    zorv::PluginDescriptor* CallGetDllInfo() const;
    // Rows of the dispatch table up to, not including, the closing (0, 0) row.
    std::vector<zorv::DispatchEntry> Entries() const;

    // The entry with this id, or null.
    void* EntryAddress(uint32_t id) const;
    template <typename Fn>
    Fn Entry(uint32_t id) const {
        return reinterpret_cast<Fn>(EntryAddress(id));
    }

    // An export by name (the helpers), or null.
    void* Symbol(const std::string& name) const;

private:
    void* library_ = nullptr;
    zorv::FnGetDllInfo getDllInfo_ = nullptr;
    zorv::PluginDescriptor* descriptor_ = nullptr;
    std::string error_;
};

// The entry's name for people: "RegisterModule", "(unsupported)", ...
const char* EntryName(uint32_t id);

// Where the plug-in library sits next to the running program.
std::string DefaultPluginPath();

}  // namespace marl::tools
