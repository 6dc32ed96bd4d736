#include "VehicleApp/boundary/AppInstance.h"

#include <condition_variable>
#include <mutex>
#include <new>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "platform/NeverDestroyed.h"

namespace marl {
namespace {

struct Instance {
    std::mutex mutex;
    std::condition_variable leasesEnded;
    CVehicleApp* app = nullptr;
    SharedState* shared = nullptr;
    int leases = 0;
};

Instance& TheInstance() {
    // Never destroyed: the host may call an entry from its receive thread while the
    // library's static objects are being torn down at unload. It lives in static storage
    // so that unloading the library takes its memory along.
    static platform::NeverDestroyed<Instance> instance;
    return instance.Get();
}

}  // namespace

AppLease::AppLease() {
    Instance& inst = TheInstance();
    std::lock_guard<std::mutex> lock(inst.mutex);
    if (inst.app == nullptr) return;
    app_ = inst.app;
    shared_ = inst.shared;
    ++inst.leases;
}

AppLease::~AppLease() {
    if (app_ == nullptr) return;
    Instance& inst = TheInstance();
    std::lock_guard<std::mutex> lock(inst.mutex);
    if (--inst.leases == 0) inst.leasesEnded.notify_all();
}

namespace app_instance {

CreateResult EnsureCreated(int32_t firstModuleHandle) {
    Instance& inst = TheInstance();
    std::lock_guard<std::mutex> lock(inst.mutex);
    if (inst.app != nullptr) return CreateResult::Existed;

    auto* app = new (std::nothrow) CVehicleApp(firstModuleHandle);
    if (app == nullptr || !app->Valid()) {
        delete app;
        return CreateResult::Failed;
    }
    auto* shared = new (std::nothrow) SharedState(firstModuleHandle);
    if (shared == nullptr || !shared->Valid()) {
        delete shared;
        delete app;
        return CreateResult::Failed;
    }
    // Tied together before they are published: from then on other threads read them.
    app->Attach(shared, app->UiHandle());
    inst.app = app;
    inst.shared = shared;
    return CreateResult::Created;
}

void DestroyIfEmpty() {
    Instance& inst = TheInstance();
    CVehicleApp* app = nullptr;
    SharedState* shared = nullptr;
    {
        std::unique_lock<std::mutex> lock(inst.mutex);
        if (inst.app == nullptr) return;
        if (inst.app->Modules().Count() != 0) return;
        app = inst.app;
        shared = inst.shared;
        inst.app = nullptr;
        inst.shared = nullptr;
        inst.leasesEnded.wait(lock, [&inst] { return inst.leases == 0; });
    }
    // The application goes first: its destructor ends every thread of the plug-in, and
    // those threads wait on the shared events.
    delete app;
    delete shared;
}

}  // namespace app_instance
}  // namespace marl
