#include "hostsim/bus/ReceiveThread.h"

#include <chrono>

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

void ReceiveThread::Post(int channel, const J1939Message& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.Add(channel, 0, 0, message);
    WakeLocked();
}

void ReceiveThread::PostTo(ZModuleHandle handle, const J1939Message& message, uint32_t timeStamp) {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.Add(0, handle, timeStamp, message);
    WakeLocked();
}

void ReceiveThread::PostAll(MessageBatch& messages) {
    if (messages.Empty()) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // An empty queue takes the batch's storage and leaves its own, with no copy.
    if (queue_.Empty()) {
        queue_.Swap(messages);
    } else {
        queue_.Append(messages);
    }
    messages.Clear();
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
                          [this] { return queue_.Empty() && !delivering_; });
}

bool ReceiveThread::WaitForRoom(size_t limit, uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this, limit] { return queue_.Size() < limit; });
}

size_t ReceiveThread::Delivered() {
    std::lock_guard<std::mutex> lock(mutex_);
    return delivered_;
}

void ReceiveThread::Stop() {
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        queue_.Clear();
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
    MessageBatch batch;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.Empty(); });
        if (stopping_) return;
        // Everything queued is taken at once, so that a busy bus costs the queue's lock
        // once per batch rather than once per message. The emptied batch goes back as the
        // queue's storage next time.
        batch.Swap(queue_);
        delivering_ = true;
        // The queue has room again for those waiting to post.
        idle_.notify_all();
        lock.unlock();

        size_t taken = 0;
        for (; taken < batch.Size(); ++taken) {
            // A stop meanwhile drops what is left, as it drops what is queued.
            if (dropBatch_.load()) break;
            Deliver(batch, batch.At(taken));
        }
        batch.Clear();

        lock.lock();
        if (!stopping_) dropBatch_.store(false);
        delivered_ += taken;
        delivering_ = false;
        idle_.notify_all();
    }
}

void ReceiveThread::Deliver(const MessageBatch& batch, const MessageBatch::Entry& entry) {
    // Read for every message: after a detach nothing more reaches the plug-in.
    const zorv::FnParseMessage parse = parse_.load();
    if (parse == nullptr) return;
    // The message was written in the host's layout when it was queued: the plug-in reads
    // it where it lies.
    const uint8_t* bytes = batch.Bytes(entry);
    if (entry.handle != 0) {
        parse(entry.handle, bytes, entry.length, entry.timeStamp);
        return;
    }
    for (ZModuleHandle handle : connections_.Receivers(entry.channel, bytes[j1939::kSourceIndex])) {
        parse(handle, bytes, entry.length, clock_.Now());
    }
}

}  // namespace hostsim
