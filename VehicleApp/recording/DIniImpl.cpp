// Opening and closing are the same on every platform: only the path is kept.
#include <new>

#include "VehicleApp/recording/DIniImpl.h"

namespace marl {

bool DIniImpl::Open(const wchar_t* path) {
    Close();
    if (path == nullptr) return false;
    path_.reset(new (std::nothrow) std::wstring(path));
    return path_ != nullptr;
}

void DIniImpl::Close() { path_.reset(); }

}  // namespace marl
