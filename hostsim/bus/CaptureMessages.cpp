#include "hostsim/bus/CaptureMessages.h"

#include <algorithm>

namespace hostsim {

std::string CaptureMessages::Open(const std::string& path, const std::string& interfaceName) {
    interfaceName_ = interfaceName;
    return reader_.Open(path);
}

void CaptureMessages::NoteInterface(const std::string& name) {
    const auto found = std::find(interfaces_.begin(), interfaces_.end(), name);
    current_ = static_cast<size_t>(found - interfaces_.begin());
    if (found == interfaces_.end()) interfaces_.push_back(name);
}

std::optional<CaptureMessages::Timed> CaptureMessages::Next() {
    while (auto frame = reader_.Next()) {
        // Frames of one interface mostly follow each other: only a change is looked up.
        if (interfaces_.empty() || interfaces_[current_] != frame->interfaceName) NoteInterface(frame->interfaceName);
        const bool usable = frame->extended && frame->kind == CandumpFrame::Kind::Data &&
                            (interfaceName_.empty() || frame->interfaceName == interfaceName_);
        if (!usable) {
            ++skipped_;
            continue;
        }
        if (interfaceName_.empty()) interfaceName_ = frame->interfaceName;
        if (!firstMicros_) firstMicros_ = frame->timeMicros;
        ++frames_;
        const J1939Message* message = reassembler_.Feed(frame->frame);
        if (message != nullptr) return Timed{frame->timeMicros - *firstMicros_, *message};
    }
    return std::nullopt;
}

}  // namespace hostsim
