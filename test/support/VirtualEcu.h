// An ECU on the simulated bus. It sees every Request the plug-in sends (through the
// stand-in host's send hook) and answers it the way a real ECU does: on its own thread,
// never on the sender's, by handing the reply to the plug-in's receive path. PGNs it
// neither answers nor refuses are ignored.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace marl {
class CVehicleApp;
}

namespace marl::testing {

class VirtualEcu {
public:
    // The ECU at `address` that answers `answered`, heard on the connection `sendHandle`.
    VirtualEcu(CVehicleApp& app, int32_t sendHandle, uint8_t address, const std::vector<uint32_t>& answered = {});
    ~VirtualEcu();
    VirtualEcu(const VirtualEcu&) = delete;
    VirtualEcu& operator=(const VirtualEcu&) = delete;

    // Answers requests for these PGNs with the data bytes 1 to 8.
    void Answer(const std::vector<uint32_t>& pgns);
    // Answers requests for `pgn` with a negative acknowledgement.
    void Refuse(uint32_t pgn);
    // Waits until every reply queued so far has been handed to the plug-in; fails the
    // test when that takes longer than ten seconds.
    void Drain();

private:
    void OnSent(const std::vector<uint8_t>& message);
    void Run();

    CVehicleApp& app_;
    const int32_t sendHandle_;
    const uint8_t address_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::set<uint32_t> answers_;
    std::set<uint32_t> refusals_;
    std::deque<std::vector<uint8_t>> replies_;
    bool delivering_ = false;
    bool stop_ = false;
    uint32_t timeStamp_ = 1000000;
    std::thread thread_;
};

}  // namespace marl::testing
