// Named mutexes and critical sections over their Win32 objects, which already have the
// recursive ownership the plug-in expects.
#include "platform/Platform.h"

#include <new>

#include <windows.h>

namespace marl::platform {

struct NamedMutex::Impl {
    HANDLE handle;
};

NamedMutex::NamedMutex(const char* name, bool initiallyOwned) : impl_(nullptr) {
    const char* kernelName = (name != nullptr && name[0] != '\0') ? name : nullptr;
    HANDLE handle = CreateMutexA(nullptr, initiallyOwned ? TRUE : FALSE, kernelName);
    if (handle == nullptr) {
        return;
    }
    impl_ = new (std::nothrow) Impl{handle};
    if (impl_ == nullptr) {
        CloseHandle(handle);
    }
}

NamedMutex::~NamedMutex() {
    if (impl_ != nullptr) {
        CloseHandle(impl_->handle);
        delete impl_;
    }
}

bool NamedMutex::Valid() const { return impl_ != nullptr; }

WaitResult NamedMutex::Lock(uint32_t timeoutMs) {
    if (impl_ == nullptr) {
        return WaitResult::Failed;
    }
    switch (WaitForSingleObject(impl_->handle, RealMs(timeoutMs))) {
    case WAIT_OBJECT_0:
    // The previous owner ended without releasing; the mutex is ours all the same.
    case WAIT_ABANDONED:
        return WaitResult::Signalled;
    case WAIT_TIMEOUT:
        return WaitResult::TimedOut;
    default:
        return WaitResult::Failed;
    }
}

void NamedMutex::Unlock() {
    if (impl_ != nullptr) {
        ReleaseMutex(impl_->handle);
    }
}

struct CriticalSection::Impl {
    CRITICAL_SECTION section;
};

CriticalSection::CriticalSection() : impl_(new Impl()) { InitializeCriticalSection(&impl_->section); }

CriticalSection::~CriticalSection() {
    DeleteCriticalSection(&impl_->section);
    delete impl_;
}

void CriticalSection::Enter() { EnterCriticalSection(&impl_->section); }

void CriticalSection::Leave() { LeaveCriticalSection(&impl_->section); }

bool CriticalSection::TryEnter() { return TryEnterCriticalSection(&impl_->section) != FALSE; }

}  // namespace marl::platform
