// Opening and closing are the same on every platform: only the path is kept.
#include <new>

#include "VehicleApp/recording/DIniImpl.h"

#include "VehicleApp/recording/FileAccess.h"

namespace marl {

bool DIniImpl::Open(const wchar_t* path) {
    Close();
    if (path == nullptr) return false;
    path_.reset(new (std::nothrow) std::wstring(path));
#ifndef _WIN32
    if (path_) nativePath_ = WideToUtf8(*path_);
#endif
    return path_ != nullptr;
}

void DIniImpl::Close() {
    path_.reset();
    nativePath_.clear();
}

}  // namespace marl
