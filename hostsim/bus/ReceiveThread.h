// The host's receive thread: every message the bus brings goes through one queue and
// reaches the plug-in's ParseMessage entry on this thread, never on the thread that sent
// the request it answers. Each connection on the message's channel that parses and whose
// filter lets the source address through gets it, with the connection's owner as the
// handle and the host's system time as the time stamp.
//
// No host lock is held while the plug-in runs: the plug-in calls back into the host from
// ParseMessage, and its other threads hold their own locks while they call the host.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "host/ZorvPlugin.h"
#include "hostsim/bus/ConnectionTable.h"
#include "hostsim/bus/J1939Message.h"
#include "hostsim/bus/MessageBatch.h"
#include "hostsim/control/SysClock.h"

namespace hostsim {

class ReceiveThread {
public:
    ReceiveThread(ConnectionTable& connections, SysClock& clock);
    ~ReceiveThread();

    void Attach(zorv::FnParseMessage parse);
    // Returns once no delivery is in progress any more (at once on the receive thread).
    void Detach();
    void Post(int channel, const J1939Message& message);
    // A played-back message: to one module, with the time stamp it was recorded with.
    void PostTo(ZModuleHandle handle, const J1939Message& message, uint32_t timeStamp);
    // Messages queued together under one lock; `messages` is left empty.
    void PostAll(MessageBatch& messages);
    // True once the queue is empty and no delivery is in progress.
    bool WaitIdle(uint32_t timeoutMs);
    // True once fewer than `limit` messages wait in the queue (the receive thread takes
    // them all at once when it gets to them), false after the time-out.
    bool WaitForRoom(size_t limit, uint32_t timeoutMs);
    // Messages taken from the queue since the thread started.
    size_t Delivered();
    // Drops what is queued and ends the thread; the next Post starts it again.
    void Stop();

private:
    // Under mutex_: starts the thread when it is not running and wakes it.
    void WakeLocked();

    void Run();
    void Deliver(const MessageBatch& batch, const MessageBatch::Entry& entry);
    bool OnReceiveThread() const;

    ConnectionTable& connections_;
    SysClock& clock_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    MessageBatch queue_;
    std::atomic<zorv::FnParseMessage> parse_{nullptr};
    bool delivering_ = false;
    // Set by Stop: the batch being delivered is dropped too.
    std::atomic<bool> dropBatch_{false};
    bool stopping_ = false;
    size_t delivered_ = 0;
    std::thread thread_;
};

}  // namespace hostsim
