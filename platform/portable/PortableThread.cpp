// Threads, sleeps and the millisecond tick on POSIX. std::thread cannot choose a stack
// size, and the plug-in's workers ask for one, so threads are started with pthread
// attributes directly.
#include "platform/Platform.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <mutex>
#include <new>
#include <thread>

#include <pthread.h>
#include <unistd.h>

namespace marl::platform {

struct Thread::Impl {
    std::function<void()> body;
    pthread_t handle{};
    bool joinable = false;
    // Held by Start while the handle is stored, so the new thread sees it (IsCurrent)
    // before its body runs.
    std::mutex launch;
};

namespace {

void* RunThread(void* arg) {
    auto* impl = static_cast<Thread::Impl*>(arg);
    std::function<void()> body;
    {
        std::lock_guard<std::mutex> lock(impl->launch);
        body = std::move(impl->body);
    }
    // From here on the thread owns its body, so the owner may even be destroyed by it.
    // An exception leaving a thread would end the host's process.
    try {
        body();
    } catch (...) {
        DebugOutput(L"marl: a worker thread ended by an exception\n");
    }
    return nullptr;
}

size_t UsableStackSize(uint32_t requested) {
    const long page = sysconf(_SC_PAGESIZE);
    const size_t pageSize = page > 0 ? static_cast<size_t>(page) : 1;
    const size_t size = std::max<size_t>(requested, PTHREAD_STACK_MIN);
    return (size + pageSize - 1) / pageSize * pageSize;
}

}  // namespace

Thread::~Thread() {
    Join();
    delete impl_;
}

bool Thread::Start(std::function<void()> body, uint32_t stackSize) {
    if (!body || Joinable()) {
        return false;
    }
    if (impl_ == nullptr) {
        impl_ = new (std::nothrow) Impl();
        if (impl_ == nullptr) {
            return false;
        }
    }
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return false;
    }
    bool started = true;
    if (stackSize != 0 && pthread_attr_setstacksize(&attributes, UsableStackSize(stackSize)) != 0) {
        started = false;
    }
    if (started) {
        std::lock_guard<std::mutex> lock(impl_->launch);
        impl_->body = std::move(body);
        started = pthread_create(&impl_->handle, &attributes, RunThread, impl_) == 0;
        impl_->joinable = started;
        if (!started) {
            impl_->body = nullptr;
        }
    }
    pthread_attr_destroy(&attributes);
    return started;
}

bool Thread::Joinable() const { return impl_ != nullptr && impl_->joinable; }

void Thread::Join() {
    if (!Joinable()) {
        return;
    }
    // A thread cannot wait for its own end; it lets go of itself instead.
    if (IsCurrent()) {
        pthread_detach(impl_->handle);
    } else {
        pthread_join(impl_->handle, nullptr);
    }
    impl_->joinable = false;
}

bool Thread::IsCurrent() const {
    return Joinable() && pthread_equal(impl_->handle, pthread_self()) != 0;
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(RealMs(ms))); }

uint32_t TickCountMs() {
    const auto sinceStart = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms) * TimeScale());
}

}  // namespace marl::platform
