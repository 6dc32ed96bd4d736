#include "hostsim/bus/BusLog.h"

#include <chrono>

#include "hostsim/bus/CandumpLog.h"

namespace hostsim {

std::string BusLog::Start(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_.is_open()) file_.close();
    written_ = 0;
    file_.open(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file_) return "cannot create the bus log " + path;
    return {};
}

void BusLog::Stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_.is_open()) file_.close();
}

bool BusLog::Active() {
    std::lock_guard<std::mutex> lock(mutex_);
    return file_.is_open();
}

void BusLog::Write(int channel, const CanFrame& frame) {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    CandumpFrame line;
    line.timeMicros = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
    line.interfaceName = InterfaceOfChannel(channel);
    line.frame = frame;
    std::string text = FormatCandumpLine(line);
    std::lock_guard<std::mutex> lock(mutex_);
    if (!file_.is_open()) return;
    file_ << text << '\n';
    ++written_;
}

size_t BusLog::FramesWritten() {
    std::lock_guard<std::mutex> lock(mutex_);
    return written_;
}

}  // namespace hostsim
