// Parameter files as the host loads them: which components each file holds and which
// components are loaded for each module handle. A loaded file shows the host one
// vehicle whose components are those asked for that the file holds (possibly none: a
// file can load and still lack the component a module needs).
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "host/ZorvTypes.h"

namespace hostsim {

class BinFiles {
public:
    void SetContents(const std::wstring& fileName, const std::vector<std::string>& components);
    // Whether a test described the file's contents.
    bool Describes(const std::wstring& fileName);
    // Records what a parameter database loaded for a handle.
    void SetLoaded(ZModuleHandle handle, const std::vector<std::string>& components);
    // Loads a file for a handle, replacing what was loaded.
    void Load(ZModuleHandle handle, const std::wstring& fileName,
              const std::vector<std::string>& requested);
    void Unload(ZModuleHandle handle);
    bool IsLoaded(ZModuleHandle handle);
    std::vector<std::string> Loaded(ZModuleHandle handle);
    void Reset();

private:
    std::mutex mutex_;
    std::map<std::wstring, std::vector<std::string>> contents_;
    std::map<ZModuleHandle, std::vector<std::string>> loaded_;
};

}  // namespace hostsim
