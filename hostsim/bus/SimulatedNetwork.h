// The simulated J1939 network behind the host's bus adapter: the virtual ECUs of a
// scenario on their channels, and the bus thread that carries what they send when it is
// due. A request from the tool is logged at once and answered after the ECU's reply
// delay; broadcasts repeat at their period, each built when it is due (a DM1 shows the
// ECU's fault state of that moment); a message longer than a frame travels as a
// transport session, one packet per gap, and reaches the host when its last packet has.
// What the bus carries to the host goes to the receiver given at construction, on the
// bus thread, with no lock of the network held.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "hostsim/bus/BusWatchers.h"
#include "hostsim/bus/VirtualEcu.h"
#include "hostsim/database/Scenario.h"

namespace hostsim {

class SimulatedNetwork {
public:
    using Receiver = std::function<void(int channel, const J1939Message& message)>;

    SimulatedNetwork(BusWatchers& watchers, Receiver receiver);
    ~SimulatedNetwork();

    // Replaces the running scenario. Every ECU claims its address at power-up.
    void Load(const ScenarioDescription& scenario);
    void Unload();
    bool Loaded();
    // A message of the tool onto a channel: watched frame by frame; the ECUs react.
    void Transmit(int channel, const J1939Message& message);
    // True once no answer, acknowledgement or transport packet is waiting to be carried.
    bool WaitQuiet(uint32_t timeoutMs);

private:
    using Clock = std::chrono::steady_clock;
    enum class Kind { Carry, Frame, Deliver, Broadcast };
    struct Event {
        Kind kind = Kind::Carry;
        int channel = 0;
        J1939Message message;
        CanFrame frame;
        size_t ecu = 0;
        ZPgn pgn = 0;
        Clock::duration period{};
    };
    using Key = std::pair<Clock::time_point, uint64_t>;

    void Schedule(Clock::time_point due, Event event);
    void ScheduleLocked(Clock::time_point due, Event event);
    void Run();
    void Process(Clock::time_point due, Event event);
    void Carry(Clock::time_point due, int channel, const J1939Message& message);
    void StopThread();

    BusWatchers& watchers_;
    Receiver receiver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable quiet_;
    std::vector<VirtualEcu> ecus_;
    std::map<Key, Event> events_;
    uint64_t nextOrder_ = 0;
    size_t pending_ = 0;  // events that are not broadcast timers
    bool stopping_ = false;
    Clock::duration packetGap_{};
    // When each ECU's transport session on a channel ends: an ECU sends one at a time.
    std::map<std::pair<int, uint8_t>, Clock::time_point> transportFree_;
    std::thread thread_;
};

}  // namespace hostsim
