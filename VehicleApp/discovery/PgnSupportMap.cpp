#include "VehicleApp/discovery/PgnSupportMap.h"

namespace marl {

PgnSupportMap::PgnSupportMap(uint8_t moduleAddress, std::atomic<bool>& positiveAnswerSeen)
    : moduleAddress_(moduleAddress), positiveAnswerSeen_(positiveAnswerSeen) {}

const PgnSupportEntry* PgnSupportMap::Find(uint32_t pgn) const {
    auto it = entries_.find(pgn);
    return it == entries_.end() ? nullptr : &it->second;
}

PgnSupportEntry& PgnSupportMap::EntryFor(uint32_t pgn) {
    // Anyone on the bus can name any PGN (an acknowledgement carries one in its data):
    // past the bound a new PGN lands in a scratch entry that no query sees.
    if (entries_.size() >= kMaxHeardPgns && entries_.count(pgn) == 0) {
        overflow_ = PgnSupportEntry{};
        overflow_.pgn = pgn;
        return overflow_;
    }
    PgnSupportEntry& entry = entries_[pgn];
    entry.pgn = pgn;
    return entry;
}

bool PgnSupportMap::contains(uint32_t pgn) const {
    platform::CsLock lock(lock_);
    return Find(pgn) != nullptr;
}

uint8_t PgnSupportMap::sourceAddressOf(uint32_t pgn) const {
    platform::CsLock lock(lock_);
    const PgnSupportEntry* entry = Find(pgn);
    return entry != nullptr ? entry->sourceAddress : j1939::kNullAddress;
}

bool PgnSupportMap::wasRequested(uint32_t pgn) const {
    platform::CsLock lock(lock_);
    const PgnSupportEntry* entry = Find(pgn);
    return entry != nullptr && entry->requested;
}

bool PgnSupportMap::hasResponded(uint32_t pgn) const {
    platform::CsLock lock(lock_);
    const PgnSupportEntry* entry = Find(pgn);
    return entry != nullptr && entry->responded;
}

bool PgnSupportMap::isSupported(uint32_t pgn) const {
    platform::CsLock lock(lock_);
    const PgnSupportEntry* entry = Find(pgn);
    return entry != nullptr && entry->responded && !entry->negative;
}

uint32_t PgnSupportMap::lastRecordTime(uint32_t pgn) const {
    platform::CsLock lock(lock_);
    const PgnSupportEntry* entry = Find(pgn);
    return entry != nullptr ? entry->lastRecordTime : 0;
}

void PgnSupportMap::recordPgn(uint32_t pgn) {
    platform::CsLock lock(lock_);
    EntryFor(pgn).sourceAddress = moduleAddress_;
}

void PgnSupportMap::recordProbe(uint32_t pgn, uint8_t address) {
    platform::CsLock lock(lock_);
    PgnSupportEntry& entry = EntryFor(pgn);
    entry.sourceAddress = address;
    entry.requested = true;
}

void PgnSupportMap::MarkResponded(PgnSupportEntry& entry, bool negative) {
    entry.responded = true;
    entry.negative = negative;
    entry.sourceAddress = moduleAddress_;
}

void PgnSupportMap::recordResponse(uint32_t pgn, bool negative) {
    {
        platform::CsLock lock(lock_);
        MarkResponded(EntryFor(pgn), negative);
    }
    if (!negative) positiveAnswerSeen_.store(true);
}

bool PgnSupportMap::noteReceived(uint32_t pgn, uint8_t address, bool supported, bool throttle, uint32_t timeStamp,
                                 uint32_t interval) {
    bool passes = true;
    {
        platform::CsLock lock(lock_);
        PgnSupportEntry& entry = EntryFor(pgn);
        entry.sourceAddress = address;
        entry.requested = true;
        if (supported) MarkResponded(entry, false);
        if (throttle) {
            passes = timeStamp - entry.lastRecordTime > interval;
            if (passes) entry.lastRecordTime = timeStamp;
        }
    }
    if (supported) positiveAnswerSeen_.store(true);
    return passes;
}

bool PgnSupportMap::PassInterval(uint32_t PgnSupportEntry::*lastTime, uint32_t pgn, uint32_t timeStamp,
                                 uint32_t interval) {
    platform::CsLock lock(lock_);
    auto it = entries_.find(pgn);
    if (it == entries_.end()) return timeStamp > interval;
    if (timeStamp - it->second.*lastTime <= interval) return false;
    it->second.*lastTime = timeStamp;
    return true;
}

bool PgnSupportMap::passThrottle(uint32_t pgn, uint32_t timeStamp, uint32_t interval) {
    return PassInterval(&PgnSupportEntry::lastRecordTime, pgn, timeStamp, interval);
}

bool PgnSupportMap::passRecordingThrottle(uint32_t pgn, uint32_t timeStamp, uint32_t interval) {
    return PassInterval(&PgnSupportEntry::lastRecordedMessageTime, pgn, timeStamp, interval);
}

PgnSupportSnapshot PgnSupportMap::snapshot() const {
    platform::CsLock lock(lock_);
    return entries_;
}

size_t PgnSupportMap::size() const {
    platform::CsLock lock(lock_);
    return entries_.size();
}

}  // namespace marl
