// Named mutexes and critical sections without kernel objects. Both follow the Windows
// ownership rules: the owning thread may lock again and must unlock as often, and only
// the owner can release.
#include "platform/Platform.h"
#include "platform/portable/NamedObjectRegistry.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <thread>

namespace marl::platform {

namespace portable {

struct MutexObject {
    std::mutex guard;
    std::condition_variable released;
    std::thread::id owner;
    uint32_t depth = 0;
};

}  // namespace portable

using portable::MutexObject;
using MutexRegistry = portable::NamedObjectRegistry<MutexObject>;

struct NamedMutex::Impl {
    std::shared_ptr<MutexObject> object;
    std::string name;
};

NamedMutex::NamedMutex(const char* name, bool initiallyOwned) : impl_(nullptr) {
    try {
        auto impl = std::make_unique<Impl>();
        bool created = true;
        if (portable::IsNamed(name)) {
            impl->name = name;
            impl->object = MutexRegistry::Instance().Acquire(
                impl->name, [] { return std::make_shared<MutexObject>(); }, &created);
        } else {
            impl->object = std::make_shared<MutexObject>();
        }
        // Opening an existing mutex never takes ownership, as on Windows.
        if (created && initiallyOwned) {
            impl->object->owner = std::this_thread::get_id();
            impl->object->depth = 1;
        }
        impl_ = impl.release();
    } catch (const std::bad_alloc&) {
        impl_ = nullptr;
    }
}

NamedMutex::~NamedMutex() {
    if (impl_ == nullptr) {
        return;
    }
    if (!impl_->name.empty()) {
        MutexRegistry::Instance().Release(impl_->object, impl_->name);
    }
    delete impl_;
}

bool NamedMutex::Valid() const { return impl_ != nullptr; }

WaitResult NamedMutex::Lock(uint32_t timeoutMs) {
    if (impl_ == nullptr) {
        return WaitResult::Failed;
    }
    MutexObject& mutex = *impl_->object;
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(mutex.guard);
    if (mutex.depth > 0 && mutex.owner == self) {
        ++mutex.depth;
        return WaitResult::Signalled;
    }
    auto isFree = [&mutex] { return mutex.depth == 0; };
    if (timeoutMs == kInfinite) {
        mutex.released.wait(lock, isFree);
    } else if (!mutex.released.wait_for(lock, std::chrono::milliseconds(RealMs(timeoutMs)), isFree)) {
        return WaitResult::TimedOut;
    }
    mutex.owner = self;
    mutex.depth = 1;
    return WaitResult::Signalled;
}

void NamedMutex::Unlock() {
    if (impl_ == nullptr) {
        return;
    }
    MutexObject& mutex = *impl_->object;
    std::lock_guard<std::mutex> lock(mutex.guard);
    if (mutex.depth == 0 || mutex.owner != std::this_thread::get_id()) {
        return;
    }
    if (--mutex.depth == 0) {
        mutex.owner = std::thread::id();
        mutex.released.notify_one();
    }
}

struct CriticalSection::Impl {
    std::recursive_mutex mutex;
};

CriticalSection::CriticalSection() : impl_(new Impl()) {}

CriticalSection::~CriticalSection() { delete impl_; }

void CriticalSection::Enter() { impl_->mutex.lock(); }

void CriticalSection::Leave() { impl_->mutex.unlock(); }

bool CriticalSection::TryEnter() { return impl_->mutex.try_lock(); }

}  // namespace marl::platform
