#include "hostsim/bus/ReceiveThread.h"

#include <chrono>
#include <utility>
#include <vector>

namespace hostsim {

ReceiveThread::ReceiveThread(ConnectionTable& connections, SysClock& clock)
    : connections_(connections), clock_(clock) {}

ReceiveThread::~ReceiveThread() { Stop(); }

void ReceiveThread::Attach(zorv::FnParseMessage parse) {
    std::lock_guard<std::mutex> lock(mutex_);
    parse_.store(parse);
}

void ReceiveThread::Detach() {
    std::unique_lock<std::mutex> lock(mutex_);
    parse_.store(nullptr);
    if (OnReceiveThread()) return;
    idle_.wait(lock, [this] { return !delivering_; });
}

void ReceiveThread::Post(int channel, J1939Message message) { Queue(Item{channel, std::move(message), 0, 0}); }

void ReceiveThread::PostTo(ZModuleHandle handle, J1939Message message, uint32_t timeStamp) {
    Queue(Item{0, std::move(message), handle, timeStamp});
}

void ReceiveThread::PostAllTo(std::vector<Addressed>& messages) {
    if (messages.empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    for (Addressed& each : messages) queue_.push_back(Item{0, std::move(each.message), each.handle, each.timeStamp});
    messages.clear();
    WakeLocked();
}

void ReceiveThread::Queue(Item item) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(item));
    WakeLocked();
}

void ReceiveThread::WakeLocked() {
    if (!thread_.joinable()) {
        stopping_ = false;
        thread_ = std::thread(&ReceiveThread::Run, this);
    }
    wake_.notify_one();
}

bool ReceiveThread::WaitIdle(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return queue_.empty() && !delivering_; });
}

size_t ReceiveThread::Delivered() {
    std::lock_guard<std::mutex> lock(mutex_);
    return delivered_;
}

void ReceiveThread::Stop() {
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.clear();
        dropBatch_.store(true);
        // The thread cannot wait for its own end; what is queued is dropped all the same.
        if (OnReceiveThread()) return;
        stopping_ = true;
        ending = std::move(thread_);
        wake_.notify_all();
    }
    if (ending.joinable()) ending.join();
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = false;
    dropBatch_.store(false);
    delivered_ = 0;
    idle_.notify_all();
}

bool ReceiveThread::OnReceiveThread() const { return thread_.get_id() == std::this_thread::get_id(); }

void ReceiveThread::Run() {
    std::deque<Item> batch;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_) return;
        // Everything queued is taken at once, so that a busy bus costs the queue's lock
        // once per batch rather than once per message.
        batch.swap(queue_);
        delivering_ = true;
        lock.unlock();

        size_t taken = 0;
        for (; taken < batch.size(); ++taken) {
            // A stop meanwhile drops what is left, as it drops what is queued.
            if (dropBatch_.load()) break;
            Deliver(batch[taken]);
        }
        batch.clear();

        lock.lock();
        if (!stopping_) dropBatch_.store(false);
        delivered_ += taken;
        delivering_ = false;
        idle_.notify_all();
    }
}

void ReceiveThread::Deliver(const Item& item) {
    // Read for every message: after a detach nothing more reaches the plug-in.
    const zorv::FnParseMessage parse = parse_.load();
    if (parse == nullptr) return;
    // The one copy between the adapter and the plug-in: into the host's layout, in storage
    // this thread keeps from message to message.
    WriteHostLayout(item.message, hostLayout_);
    const auto length = static_cast<uint16_t>(hostLayout_.size());
    if (item.handle != 0) {
        parse(item.handle, hostLayout_.data(), length, item.timeStamp);
        return;
    }
    for (ZModuleHandle handle : connections_.Receivers(item.channel, item.message.source)) {
        parse(handle, hostLayout_.data(), length, clock_.Now());
    }
}

}  // namespace hostsim
