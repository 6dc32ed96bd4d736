// The one application object and the one shared state, and the gate that keeps them
// alive while an entry uses them.
//
// The host calls ParseMessage on its receive thread whenever a message arrives, also
// while another thread unregisters the last module. An entry therefore takes a lease:
// while any lease is held, teardown waits before it destroys the objects, and once
// teardown has begun no new lease is handed out.
#pragma once

#include <cstdint>

namespace marl {

class CVehicleApp;
class SharedState;

class AppLease {
public:
    AppLease();  // takes a lease when the objects exist
    ~AppLease();
    AppLease(const AppLease&) = delete;
    AppLease& operator=(const AppLease&) = delete;

    explicit operator bool() const { return app_ != nullptr; }
    CVehicleApp* App() const { return app_; }
    SharedState* Shared() const { return shared_; }

private:
    CVehicleApp* app_ = nullptr;
    SharedState* shared_ = nullptr;
};

namespace app_instance {

enum class CreateResult { Created, Existed, Failed };

// Creates both objects when they do not exist yet (registration entries only).
CreateResult EnsureCreated(int32_t firstModuleHandle);

// Destroys both objects when the module list is empty: every thread of the plug-in is
// ended first, then the shared state and the application object go. Waits for every lease to end.
// Must not be called while the caller holds a lease.
void DestroyIfEmpty();

}  // namespace app_instance
}  // namespace marl
