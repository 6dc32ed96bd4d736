// Threads, sleeps and the millisecond tick over Win32. Threads start through the C
// runtime so that its per-thread data is set up for the plug-in's workers.
#include "platform/Platform.h"

#include <new>

#include <process.h>
#include <windows.h>

namespace marl::platform {

struct Thread::Impl {
    std::function<void()> body;
    HANDLE handle = nullptr;
    unsigned id = 0;
};

namespace {

unsigned __stdcall RunThread(void* arg) {
    // The thread was created suspended and resumed only after its handle and id were
    // stored, so reading them here is safe.
    std::function<void()> body = std::move(static_cast<Thread::Impl*>(arg)->body);
    // An exception leaving a thread would end the host's process.
    try {
        body();
    } catch (...) {
        DebugOutput(L"marl: a worker thread ended by an exception\n");
    }
    return 0;
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
    impl_->body = std::move(body);
    unsigned id = 0;
    const uintptr_t handle =
        _beginthreadex(nullptr, stackSize, RunThread, impl_, CREATE_SUSPENDED, &id);
    if (handle == 0) {
        impl_->body = nullptr;
        return false;
    }
    impl_->handle = reinterpret_cast<HANDLE>(handle);
    impl_->id = id;
    ResumeThread(impl_->handle);
    return true;
}

bool Thread::Joinable() const { return impl_ != nullptr && impl_->handle != nullptr; }

void Thread::Join() {
    if (!Joinable()) {
        return;
    }
    // A thread cannot wait for its own end; it lets go of its handle instead.
    if (!IsCurrent()) {
        WaitForSingleObject(impl_->handle, INFINITE);
    }
    CloseHandle(impl_->handle);
    impl_->handle = nullptr;
    impl_->id = 0;
}

bool Thread::IsCurrent() const { return Joinable() && GetCurrentThreadId() == impl_->id; }

void SleepMs(uint32_t ms) { Sleep(RealMs(ms)); }

uint32_t TickCountMs() { return GetTickCount() * TimeScale(); }

}  // namespace marl::platform
