// An object kept in the library's static storage that no destructor ever ends.
//
// Some objects must outlive every static destructor of the library (a thread of the host
// may still call in, or a handle may be closed by another static's destructor at exit),
// so they are never destroyed. Allocating them with new would keep their memory after
// the host unloads the library, once per load; in static storage they leave with the
// library's image. The wrapper's own destructor is trivial, so none is registered.
#pragma once

#include <new>

namespace marl::platform {

template <typename T>
class NeverDestroyed {
public:
    NeverDestroyed() { new (storage_) T(); }
    NeverDestroyed(const NeverDestroyed&) = delete;
    NeverDestroyed& operator=(const NeverDestroyed&) = delete;

    T& Get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace marl::platform
