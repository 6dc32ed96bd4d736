// Events and multi-event waits without kernel objects.
//
// Every event's state lives under one process-wide lock. That keeps WaitAny simple and
// exact: a waiter inspects all its events and registers itself on each of them in one
// step, so a Set that comes between two checks can never be lost. The plug-in has a
// handful of threads waiting at a time, so one lock costs nothing measurable.
#include "platform/Platform.h"
#include "platform/NeverDestroyed.h"
#include "platform/portable/NamedObjectRegistry.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <vector>

namespace marl::platform {

namespace {

// Never destroyed: an event may be set or closed by another static's destructor.
std::mutex& EventStateMutex() {
    static NeverDestroyed<std::mutex> mutex;
    return mutex.Get();
}

// One per waiting thread and wait; events notify the waiters registered on them.
struct Waiter {
    std::condition_variable wake;
};

}  // namespace

namespace portable {

struct EventObject {
    explicit EventObject(bool manual, bool initiallySignalled)
        : manualReset(manual), signalled(initiallySignalled) {}

    const bool manualReset;
    bool signalled;
    std::vector<Waiter*> waiters;
};

}  // namespace portable

using portable::EventObject;
using EventRegistry = portable::NamedObjectRegistry<EventObject>;

struct Event::Impl {
    std::shared_ptr<EventObject> object;
    std::string name;
};

Event::Event(const char* name, bool manualReset, bool initiallySignalled) : impl_(nullptr) {
    try {
        auto make = [&] { return std::make_shared<EventObject>(manualReset, initiallySignalled); };
        auto impl = std::make_unique<Impl>();
        if (portable::IsNamed(name)) {
            bool created = false;
            impl->name = name;
            impl->object = EventRegistry::Instance().Acquire(impl->name, make, &created);
        } else {
            impl->object = make();
        }
        impl_ = impl.release();
    } catch (const std::bad_alloc&) {
        impl_ = nullptr;
    }
}

Event::~Event() {
    if (impl_ == nullptr) {
        return;
    }
    if (!impl_->name.empty()) {
        EventRegistry::Instance().Release(impl_->object, impl_->name);
    }
    delete impl_;
}

bool Event::Valid() const { return impl_ != nullptr; }

void Event::Set() {
    if (impl_ == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(EventStateMutex());
    EventObject& event = *impl_->object;
    event.signalled = true;
    // All waiters are woken even for an auto-reset event: one of them may be about to
    // take another of its events, and the next in line must then get this one.
    for (Waiter* waiter : event.waiters) {
        waiter->wake.notify_one();
    }
}

void Event::Reset() {
    if (impl_ == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(EventStateMutex());
    impl_->object->signalled = false;
}

bool Event::IsSignalled() const {
    if (impl_ == nullptr) {
        return false;
    }
    std::lock_guard<std::mutex> lock(EventStateMutex());
    return impl_->object->signalled;
}

WaitResult Event::Wait(uint32_t timeoutMs) {
    if (impl_ == nullptr) {
        return WaitResult::Failed;
    }
    Event* self = this;
    return WaitAny(&self, 1, timeoutMs) == 0 ? WaitResult::Signalled : WaitResult::TimedOut;
}

namespace {

// Takes the lowest signalled event, consuming it when it resets automatically.
int TakeSignalled(const std::vector<std::shared_ptr<EventObject>>& objects) {
    for (size_t i = 0; i < objects.size(); ++i) {
        EventObject& event = *objects[i];
        if (event.signalled) {
            if (!event.manualReset) {
                event.signalled = false;
            }
            return static_cast<int>(i);
        }
    }
    return -1;
}

void Unregister(const std::vector<std::shared_ptr<EventObject>>& objects, Waiter* waiter) {
    for (const auto& object : objects) {
        auto& list = object->waiters;
        list.erase(std::remove(list.begin(), list.end(), waiter), list.end());
    }
}

bool Register(const std::vector<std::shared_ptr<EventObject>>& objects, Waiter* waiter) {
    try {
        for (const auto& object : objects) {
            object->waiters.push_back(waiter);
        }
        return true;
    } catch (const std::bad_alloc&) {
        Unregister(objects, waiter);
        return false;
    }
}

}  // namespace

int WaitAny(Event* const* events, int count, uint32_t timeoutMs) {
    if (events == nullptr || count <= 0) {
        return -1;
    }
    // The copies keep the objects alive for the whole wait even if a handle is closed
    // meanwhile.
    std::vector<std::shared_ptr<EventObject>> objects;
    try {
        objects.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            if (events[i] == nullptr || events[i]->impl() == nullptr) {
                return -1;
            }
            objects.push_back(events[i]->impl()->object);
        }
    } catch (const std::bad_alloc&) {
        return -1;
    }

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(RealMs(timeoutMs));
    Waiter waiter;
    bool registered = false;
    std::unique_lock<std::mutex> lock(EventStateMutex());
    for (;;) {
        const int index = TakeSignalled(objects);
        const bool expired = timeoutMs != kInfinite && std::chrono::steady_clock::now() >= deadline;
        if (index >= 0 || expired) {
            if (registered) {
                Unregister(objects, &waiter);
            }
            return index;
        }
        if (!registered) {
            if (!Register(objects, &waiter)) {
                return -1;
            }
            registered = true;
        }
        if (timeoutMs == kInfinite) {
            waiter.wake.wait(lock);
        } else {
            waiter.wake.wait_until(lock, deadline);
        }
    }
}

}  // namespace marl::platform
