#include "VehicleApp/guidedtest/GuidedTestThreads.h"

#include <utility>

namespace marl {

GuidedTestThreads::~GuidedTestThreads() { JoinAll(); }

bool GuidedTestThreads::Start(const GuidedTestContext& context, std::function<void()> body, uint32_t stackSize) {
    // Ended threads are taken out under the lock and joined outside it: a test thread
    // may still be reading its context on the way out.
    std::list<Worker> ended;
    bool started = false;
    {
        platform::CsLock lock(lock_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            auto current = it++;
            if (current->ended.load()) ended.splice(ended.end(), workers_, current);
        }
        last_ = context;
        workers_.emplace_back();
        Worker& worker = workers_.back();
        started = worker.thread.Start(
            [&worker, run = std::move(body)] {
                run();
                worker.ended = true;
            },
            stackSize);
        if (!started) workers_.pop_back();
    }
    for (Worker& worker : ended) worker.thread.Join();
    return started;
}

GuidedTestContext GuidedTestThreads::LastContext() const {
    platform::CsLock lock(lock_);
    return last_;
}

void GuidedTestThreads::JoinAll() {
    std::list<Worker> running;
    {
        platform::CsLock lock(lock_);
        running.splice(running.end(), workers_);
    }
    for (Worker& worker : running) worker.thread.Join();
}

}  // namespace marl
