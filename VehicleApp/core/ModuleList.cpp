#include "VehicleApp/core/ModuleList.h"

namespace marl {

std::list<ModuleRecordPtr>::const_iterator ModuleList::Find(const ModuleRecord* record) const {
    for (auto it = records_.begin(); it != records_.end(); ++it) {
        if (it->get() == record) return it;
    }
    return records_.end();
}

ModuleRecordPtr ModuleList::Next(const ModuleRecord* after) const {
    if (after == nullptr) return records_.empty() ? nullptr : records_.front();
    auto it = Find(after);
    if (it == records_.end() || ++it == records_.end()) return nullptr;
    return *it;
}

void ModuleList::InsertAfter(const ModuleRecord* after, ModuleRecordPtr record) {
    if (!record) return;
    auto it = after == nullptr ? records_.end() : Find(after);
    if (it == records_.end()) {
        records_.push_front(std::move(record));
    } else {
        records_.insert(std::next(it), std::move(record));
    }
    count_.store(static_cast<int>(records_.size()));
}

ModuleRecordPtr ModuleList::Remove(const ModuleRecord* record) {
    if (records_.empty()) return nullptr;
    auto it = record == nullptr ? records_.begin() : Find(record);
    if (it == records_.end()) return nullptr;
    ModuleRecordPtr removed = *it;
    records_.erase(it);
    count_.store(static_cast<int>(records_.size()));
    return removed;
}

}  // namespace marl
