#include "VehicleApp/boundary/AppInstance.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/SharedState.h"
#include "platform/NeverDestroyed.h"

namespace marl {
namespace {

// Leases are taken for every message the host delivers, so they take no lock: a lease
// counts itself in, then reads the application. Teardown unpublishes the application,
// then waits for the count to reach zero. With sequentially consistent operations a
// lease either was counted before teardown looked, or sees no application.
struct Instance {
    std::mutex mutex;
    std::condition_variable leasesEnded;
    std::atomic<CVehicleApp*> app{nullptr};
    std::atomic<SharedState*> shared{nullptr};
    std::atomic<int> leases{0};
    std::atomic<bool> tearingDown{false};
};

void EndLease(Instance& inst) {
    if (inst.leases.fetch_sub(1) == 1 && inst.tearingDown.load()) {
        std::lock_guard<std::mutex> lock(inst.mutex);
        inst.leasesEnded.notify_all();
    }
}

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
    inst.leases.fetch_add(1);
    app_ = inst.app.load();
    if (app_ == nullptr) {
        EndLease(inst);
        return;
    }
    // Published before the application and taken back after the last lease.
    shared_ = inst.shared.load();
}

AppLease::~AppLease() {
    if (app_ != nullptr) EndLease(TheInstance());
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
    inst.shared.store(shared);
    inst.app.store(app);
    return CreateResult::Created;
}

void DestroyIfEmpty() {
    Instance& inst = TheInstance();
    CVehicleApp* app = nullptr;
    SharedState* shared = nullptr;
    {
        std::unique_lock<std::mutex> lock(inst.mutex);
        app = inst.app.load();
        if (app == nullptr) return;
        if (app->Modules().Count() != 0) return;
        shared = inst.shared.load();
        inst.app.store(nullptr);
        inst.tearingDown.store(true);
        inst.leasesEnded.wait(lock, [&inst] { return inst.leases.load() == 0; });
        inst.tearingDown.store(false);
        // A registration may have created the next pair while this one waited.
        SharedState* ours = shared;
        inst.shared.compare_exchange_strong(ours, nullptr);
    }
    // The application goes first: its destructor ends every thread of the plug-in, and
    // those threads wait on the shared events.
    delete app;
    delete shared;
}

}  // namespace app_instance
}  // namespace marl
