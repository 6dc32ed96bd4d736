// Events and multi-event waits over Win32 event objects. Named events are shared by the
// kernel's object namespace, so two handles of one name are one event.
#include "platform/Platform.h"

#include <new>

#include <windows.h>

namespace marl::platform {

struct Event::Impl {
    HANDLE handle;
};

namespace {

// Windows has no documented way to look at an auto-reset event without taking it; the
// native query does exactly that and is present on every Windows and Wine we run on.
struct EventBasicInformation {
    int type;
    LONG state;
};
constexpr int kEventBasicInformationClass = 0;
using QueryEventFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

QueryEventFn LoadQueryEvent() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<QueryEventFn>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryEvent")));
}

}  // namespace

Event::Event(const char* name, bool manualReset, bool initiallySignalled) : impl_(nullptr) {
    const char* kernelName = (name != nullptr && name[0] != '\0') ? name : nullptr;
    HANDLE handle = CreateEventA(nullptr, manualReset ? TRUE : FALSE,
                                 initiallySignalled ? TRUE : FALSE, kernelName);
    if (handle == nullptr) {
        return;
    }
    impl_ = new (std::nothrow) Impl{handle};
    if (impl_ == nullptr) {
        CloseHandle(handle);
    }
}

Event::~Event() {
    if (impl_ != nullptr) {
        CloseHandle(impl_->handle);
        delete impl_;
    }
}

bool Event::Valid() const { return impl_ != nullptr; }

void Event::Set() {
    if (impl_ != nullptr) {
        SetEvent(impl_->handle);
    }
}

void Event::Reset() {
    if (impl_ != nullptr) {
        ResetEvent(impl_->handle);
    }
}

bool Event::IsSignalled() const {
    if (impl_ == nullptr) {
        return false;
    }
    static const QueryEventFn queryEvent = LoadQueryEvent();
    if (queryEvent != nullptr) {
        EventBasicInformation info{};
        if (queryEvent(impl_->handle, kEventBasicInformationClass, &info, sizeof(info), nullptr) == 0) {
            return info.state != 0;
        }
    }
    // Without the query: take the event and give it back. Setting a manual-reset event
    // that is already signalled changes nothing.
    if (WaitForSingleObject(impl_->handle, 0) != WAIT_OBJECT_0) {
        return false;
    }
    SetEvent(impl_->handle);
    return true;
}

WaitResult Event::Wait(uint32_t timeoutMs) {
    if (impl_ == nullptr) {
        return WaitResult::Failed;
    }
    switch (WaitForSingleObject(impl_->handle, RealMs(timeoutMs))) {
    case WAIT_OBJECT_0:
        return WaitResult::Signalled;
    case WAIT_TIMEOUT:
        return WaitResult::TimedOut;
    default:
        return WaitResult::Failed;
    }
}

int WaitAny(Event* const* events, int count, uint32_t timeoutMs) {
    if (events == nullptr || count <= 0 || count > MAXIMUM_WAIT_OBJECTS) {
        return -1;
    }
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    for (int i = 0; i < count; ++i) {
        if (events[i] == nullptr || events[i]->impl() == nullptr) {
            return -1;
        }
        handles[i] = events[i]->impl()->handle;
    }
    const DWORD result =
        WaitForMultipleObjects(static_cast<DWORD>(count), handles, FALSE, RealMs(timeoutMs));
    if (result < WAIT_OBJECT_0 + static_cast<DWORD>(count)) {
        return static_cast<int>(result - WAIT_OBJECT_0);
    }
    return -1;
}

}  // namespace marl::platform
