#include "hostsim/database/BinFiles.h"

#include <algorithm>

namespace hostsim {

void BinFiles::SetContents(const std::wstring& fileName, const std::vector<std::string>& components) {
    std::lock_guard<std::mutex> lock(mutex_);
    contents_[fileName] = components;
}

void BinFiles::Load(ZModuleHandle handle, const std::wstring& fileName,
                    const std::vector<std::string>& requested) {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_.erase(handle);
    auto file = contents_.find(fileName);
    std::vector<std::string> components;
    for (const std::string& name : requested) {
        bool held = file == contents_.end() ||
                    std::find(file->second.begin(), file->second.end(), name) != file->second.end();
        if (held) components.push_back(name);
    }
    loaded_[handle] = components;
}

bool BinFiles::Describes(const std::wstring& fileName) {
    std::lock_guard<std::mutex> lock(mutex_);
    return contents_.count(fileName) != 0;
}

void BinFiles::SetLoaded(ZModuleHandle handle, const std::vector<std::string>& components) {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_[handle] = components;
}

void BinFiles::Unload(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    loaded_.erase(handle);
}

bool BinFiles::IsLoaded(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    return loaded_.count(handle) != 0;
}

std::vector<std::string> BinFiles::Loaded(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = loaded_.find(handle);
    return found != loaded_.end() ? found->second : std::vector<std::string>();
}

void BinFiles::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    contents_.clear();
    loaded_.clear();
}

}  // namespace hostsim
