#include "hostsim/bus/CaptureMessages.h"

#include <algorithm>

namespace hostsim {

std::string CaptureMessages::Open(const std::string& path, const std::string& interfaceName) {
    interfaceName_ = interfaceName;
    return reader_.Open(path);
}

void CaptureMessages::NoteInterface(const std::string& name) {
    if (std::find(interfaces_.begin(), interfaces_.end(), name) == interfaces_.end()) interfaces_.push_back(name);
}

std::optional<CaptureMessages::Timed> CaptureMessages::Next() {
    while (auto frame = reader_.Next()) {
        if (interfaces_.empty() || interfaces_.back() != frame->interfaceName) NoteInterface(frame->interfaceName);
        const bool usable = frame->extended && frame->kind == CandumpFrame::Kind::Data &&
                            (interfaceName_.empty() || frame->interfaceName == interfaceName_);
        if (!usable) {
            ++skipped_;
            continue;
        }
        if (interfaceName_.empty()) interfaceName_ = frame->interfaceName;
        if (!firstMicros_) firstMicros_ = frame->timeMicros;
        ++frames_;
        auto message = reassembler_.Feed(frame->frame);
        if (message) return Timed{frame->timeMicros - *firstMicros_, std::move(*message)};
    }
    return std::nullopt;
}

}  // namespace hostsim
