#include "hostsim/bus/SimulatedNetwork.h"

#include "platform/TimeScale.h"

namespace hostsim {
namespace {

using std::chrono::milliseconds;

// Power-up claims and first broadcasts of the ECUs are spread a little so that the
// bus log does not show every ECU at the same instant.
constexpr milliseconds kPowerUpStagger{1};

// The ECUs' delays and periods keep pace with the plug-in's clock, which a test time
// scale speeds up; otherwise its time-outs would expire before an ECU answers.
template <typename Length>
std::chrono::steady_clock::duration OnBus(Length length) {
    return marl::platform::RealDuration(length);
}

}  // namespace

SimulatedNetwork::SimulatedNetwork(BusWatchers& watchers, Receiver receiver)
    : watchers_(watchers), receiver_(std::move(receiver)) {}

SimulatedNetwork::~SimulatedNetwork() { StopThread(); }

void SimulatedNetwork::Load(const ScenarioDescription& scenario) {
    Unload();
    Clock::time_point start = Clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    packetGap_ = OnBus(milliseconds(scenario.tpPacketGapMs));
    transportFree_.clear();
    for (const EcuDescription& described : scenario.ecus) ecus_.emplace_back(described);
    for (size_t index = 0; index < ecus_.size(); ++index) {
        const EcuDescription& described = ecus_[index].Described();
        Clock::time_point powerUp = start + kPowerUpStagger * static_cast<int>(index);
        Event claim;
        claim.kind = Kind::Carry;
        claim.channel = described.channel;
        claim.message = ecus_[index].AddressClaim();
        ScheduleLocked(powerUp, claim);
        for (const VirtualEcu::Broadcast& sent : ecus_[index].Broadcasts()) {
            Event broadcast;
            broadcast.kind = Kind::Broadcast;
            broadcast.channel = described.channel;
            broadcast.ecu = index;
            broadcast.pgn = sent.pgn;
            broadcast.period = OnBus(
                std::chrono::duration_cast<Clock::duration>(milliseconds(sent.periodMs) * scenario.broadcastScale));
            ScheduleLocked(powerUp + broadcast.period, broadcast);
        }
    }
    stopping_ = false;
    thread_ = std::thread(&SimulatedNetwork::Run, this);
}

void SimulatedNetwork::Unload() {
    StopThread();
    std::lock_guard<std::mutex> lock(mutex_);
    ecus_.clear();
    events_.clear();
    pending_ = 0;
    quiet_.notify_all();
}

bool SimulatedNetwork::Loaded() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !ecus_.empty();
}

void SimulatedNetwork::Transmit(int channel, const J1939Message& message) {
    for (const CanFrame& frame : FramesOf(message)) watchers_.Frame(channel, frame);
    Clock::time_point now = Clock::now();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!thread_.joinable()) return;
    for (VirtualEcu& ecu : ecus_) {
        if (ecu.Described().channel != channel || ecu.Described().address == message.source) continue;
        for (J1939Message& reply : ecu.OnMessage(message)) {
            Event event;
            event.kind = Kind::Carry;
            event.channel = channel;
            event.message = std::move(reply);
            ScheduleLocked(now + OnBus(milliseconds(ecu.Described().replyDelayMs)), std::move(event));
        }
    }
}

bool SimulatedNetwork::WaitQuiet(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return quiet_.wait_for(lock, milliseconds(timeoutMs), [this] { return pending_ == 0; });
}

void SimulatedNetwork::Schedule(Clock::time_point due, Event event) {
    std::lock_guard<std::mutex> lock(mutex_);
    ScheduleLocked(due, std::move(event));
}

void SimulatedNetwork::ScheduleLocked(Clock::time_point due, Event event) {
    if (event.kind != Kind::Broadcast) ++pending_;
    events_.emplace(Key{due, nextOrder_++}, std::move(event));
    wake_.notify_one();
}

void SimulatedNetwork::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        if (events_.empty()) {
            wake_.wait(lock);
            continue;
        }
        auto next = events_.begin();
        Clock::time_point due = next->first.first;
        if (Clock::now() < due) {
            wake_.wait_until(lock, due);
            continue;
        }
        Event event = std::move(next->second);
        events_.erase(next);
        lock.unlock();
        Process(due, event);
        lock.lock();
        if (event.kind != Kind::Broadcast && pending_ > 0 && --pending_ == 0) quiet_.notify_all();
    }
}

void SimulatedNetwork::Process(Clock::time_point due, Event event) {
    switch (event.kind) {
        case Kind::Carry:
            Carry(due, event.channel, event.message);
            break;
        case Kind::Frame:
            watchers_.Frame(event.channel, event.frame);
            break;
        case Kind::Deliver:
            receiver_(event.channel, event.message);
            break;
        case Kind::Broadcast: {
            J1939Message message;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (event.ecu >= ecus_.size()) return;
                // Built now, from the ECU's state as it is: a clear shows in the next DM1.
                message = ecus_[event.ecu].BroadcastMessage(event.pgn);
                Event again = event;
                ScheduleLocked(due + event.period, std::move(again));
            }
            Carry(due, event.channel, message);
            break;
        }
    }
}

void SimulatedNetwork::Carry(Clock::time_point due, int channel, const J1939Message& message) {
    std::vector<CanFrame> frames = FramesOf(message);
    if (frames.size() == 1) {
        watchers_.Frame(channel, frames.front());
        receiver_(channel, message);
        return;
    }
    // J1939 lets an ECU run one transport session at a time: a second message waits for
    // the end of the one in progress, or a capture of the bus could not be reassembled.
    Clock::duration gap;
    Clock::time_point start = due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        gap = packetGap_;
        Clock::time_point& free = transportFree_[{channel, message.source}];
        if (free > start) start = free;
        free = start + gap * static_cast<int>(frames.size());
    }
    Clock::time_point at = start;
    for (size_t i = 0; i < frames.size(); ++i) {
        if (i == 0 && start == due) {
            watchers_.Frame(channel, frames.front());
            continue;
        }
        if (i != 0) at += gap;
        Event frame;
        frame.kind = Kind::Frame;
        frame.channel = channel;
        frame.frame = frames[i];
        Schedule(at, std::move(frame));
    }
    Event deliver;
    deliver.kind = Kind::Deliver;
    deliver.channel = channel;
    deliver.message = message;
    Schedule(at, std::move(deliver));
}

void SimulatedNetwork::StopThread() {
    std::thread ending;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        ending = std::move(thread_);
        wake_.notify_all();
    }
    if (ending.joinable()) ending.join();
}

}  // namespace hostsim
