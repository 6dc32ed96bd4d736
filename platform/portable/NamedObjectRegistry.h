// Process-wide name table for the portable kernel objects. Windows lets two parts of a
// process open the same event or mutex by name and keeps the object alive until its last
// handle is closed; the plug-in relies on that to share its exit and wait events between
// the application object and the shared state. Handles here are shared_ptr copies and the
// table keeps only weak references, so the object dies with its last handle. Once the
// last name is gone the table holds no heap at all, so a library unloaded with no
// objects open gives back everything it took.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/NeverDestroyed.h"

namespace marl::platform::portable {

template <typename Object>
class NamedObjectRegistry {
public:
    // Never destroyed: handles closed by static destructors at process exit must still
    // find the table.
    static NamedObjectRegistry& Instance() {
        static NeverDestroyed<NamedObjectRegistry> registry;
        return registry.Get();
    }

    // Returns the live object of that name, or a new one built by make(); *created tells
    // which, since a new object is the only one whose initial state counts.
    template <typename Make>
    std::shared_ptr<Object> Acquire(const std::string& name, Make make, bool* created) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::weak_ptr<Object>& slot = objects_[name];
        std::shared_ptr<Object> object = slot.lock();
        *created = !object;
        if (!object) {
            object = make();
            slot = object;
        }
        return object;
    }

    // Drops one handle; the name is forgotten once no handle refers to the object.
    void Release(std::shared_ptr<Object>& handle, const std::string& name) {
        std::lock_guard<std::mutex> lock(mutex_);
        handle.reset();
        auto it = objects_.find(name);
        if (it != objects_.end() && it->second.expired()) {
            objects_.erase(it);
        }
    }

private:
    friend class NeverDestroyed<NamedObjectRegistry>;
    NamedObjectRegistry() = default;

    std::mutex mutex_;
    // A tree rather than a hash table: empty, it keeps no bucket array on the heap.
    std::map<std::string, std::weak_ptr<Object>> objects_;
};

inline bool IsNamed(const char* name) { return name != nullptr && name[0] != '\0'; }

}  // namespace marl::platform::portable
