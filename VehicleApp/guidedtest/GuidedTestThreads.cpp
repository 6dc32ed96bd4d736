#include "VehicleApp/guidedtest/GuidedTestThreads.h"

#include <utility>
#include <vector>

namespace marl {

GuidedTestThreads::~GuidedTestThreads() { JoinAll(); }

bool GuidedTestThreads::Start(const GuidedTestContext& context, Body body, uint32_t stackSize) {
    // Ended threads are taken out under the lock and joined outside it: a test thread
    // may still be reading its context on the way out.
    std::list<std::shared_ptr<Worker>> ended;
    bool started = false;
    {
        platform::CsLock lock(lock_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            auto current = it++;
            if ((*current)->ended.IsSignalled()) ended.splice(ended.end(), workers_, current);
        }
        last_ = context;
        auto worker = std::make_shared<Worker>();
        worker->context = context;
        // The list keeps the worker alive until its thread has been joined.
        Worker* running = worker.get();
        started = worker->thread.Start(
            [running, run = std::move(body)] {
                run(running->stop);
                running->ended.Set();
            },
            stackSize);
        if (started) workers_.push_back(std::move(worker));
    }
    for (auto& worker : ended) worker->thread.Join();
    return started;
}

GuidedTestContext GuidedTestThreads::LastContext() const {
    platform::CsLock lock(lock_);
    return last_;
}

bool GuidedTestThreads::StopTests(int32_t moduleHandle, uint32_t timeoutMs) {
    std::vector<std::shared_ptr<Worker>> stopping;
    {
        platform::CsLock lock(lock_);
        for (const auto& worker : workers_) {
            if (moduleHandle != kEveryModule && worker->context.moduleHandle != moduleHandle) continue;
            worker->stop = true;
            stopping.push_back(worker);
        }
    }
    const uint32_t start = platform::TickCountMs();
    for (const auto& worker : stopping) {
        const uint32_t spent = platform::TickCountMs() - start;
        const uint32_t left = spent < timeoutMs ? timeoutMs - spent : 0;
        if (worker->ended.Wait(left) != platform::WaitResult::Signalled) return false;
    }
    return true;
}

void GuidedTestThreads::JoinAll() {
    std::list<std::shared_ptr<Worker>> running;
    {
        platform::CsLock lock(lock_);
        running.splice(running.end(), workers_);
        for (const auto& worker : running) worker->stop = true;
    }
    for (auto& worker : running) worker->thread.Join();
}

}  // namespace marl
