#include "test/support/VirtualEcu.h"

#include <gtest/gtest.h>

#include <chrono>

#include "VehicleApp/CVehicleApp.h"
#include "hostsim/HostSim.h"
#include "test/support/AppTest.h"

namespace marl::testing {
namespace {
constexpr uint8_t kNegative = 1;
// Far apart, so that the receive throttle never drops a reply.
constexpr uint32_t kTimeStep = 1000;
constexpr auto kDrainDeadline = std::chrono::seconds(10);
}  // namespace

VirtualEcu::VirtualEcu(CVehicleApp& app, int32_t sendHandle, uint8_t address, const std::vector<uint32_t>& answered)
    : app_(app), sendHandle_(sendHandle), address_(address) {
    Answer(answered);
    thread_ = std::thread([this] { Run(); });
    hostsim::SetSendHook([this](ZModuleHandle, const std::vector<uint8_t>& message) {
        OnSent(message);
        return ZResult{0};
    });
}

VirtualEcu::~VirtualEcu() {
    hostsim::SetSendHook(nullptr);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void VirtualEcu::Answer(const std::vector<uint32_t>& pgns) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.insert(pgns.begin(), pgns.end());
}

void VirtualEcu::Refuse(uint32_t pgn) {
    std::lock_guard<std::mutex> lock(mutex_);
    refusals_.insert(pgn);
}

void VirtualEcu::Drain() {
    std::unique_lock<std::mutex> lock(mutex_);
    EXPECT_TRUE(changed_.wait_for(lock, kDrainDeadline, [this] { return replies_.empty() && !delivering_; }))
        << "the ECU's replies were not taken within the deadline";
}

void VirtualEcu::OnSent(const std::vector<uint8_t>& message) {
    if (!IsRequest(message)) return;
    const uint8_t destination = message[5];
    if (destination != address_ && destination != 0xFF) return;
    const uint32_t pgn = RequestedPgn(message);
    std::lock_guard<std::mutex> lock(mutex_);
    if (answers_.count(pgn) != 0) {
        replies_.push_back(Message(pgn, address_, {1, 2, 3, 4, 5, 6, 7, 8}));
    } else if (refusals_.count(pgn) != 0) {
        replies_.push_back(Acknowledgement(kNegative, pgn, address_));
    } else {
        return;
    }
    changed_.notify_all();
}

void VirtualEcu::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return stop_ || !replies_.empty(); });
        if (stop_) return;
        std::vector<uint8_t> reply = std::move(replies_.front());
        replies_.pop_front();
        delivering_ = true;
        timeStamp_ += kTimeStep;
        const uint32_t timeStamp = timeStamp_;
        lock.unlock();
        app_.Receiver().ParseMessage(sendHandle_, reply.data(), static_cast<uint16_t>(reply.size()), timeStamp);
        lock.lock();
        delivering_ = false;
        changed_.notify_all();
    }
}

}  // namespace marl::testing
