// The list of registered modules. Records are shared pointers so that a thread that
// found a record (the receive thread, the query thread) keeps it alive while it works
// with it, even when unregistration removes it from the list meanwhile.
//
// The list itself has no lock: the application's module lock guards every walk and
// change. Only the count is atomic, because "is this the last module?" is asked
// without the lock when the exit event is raised.
#pragma once

#include <atomic>
#include <list>
#include <memory>

namespace marl {

class ModuleRecord;
using ModuleRecordPtr = std::shared_ptr<ModuleRecord>;

class ModuleList {
public:
    // The record after `after`, or the first one when `after` is null; null after the
    // last one or when `after` is not in the list.
    ModuleRecordPtr Next(const ModuleRecord* after) const;

    // Inserts after `after`, or at the front when `after` is null or not in the list.
    void InsertAfter(const ModuleRecord* after, ModuleRecordPtr record);

    // Removes `record`, or the first record when `record` is null. Returns the removed
    // record (null when there was nothing to remove).
    ModuleRecordPtr Remove(const ModuleRecord* record);

    int Count() const { return count_.load(); }

private:
    std::list<ModuleRecordPtr>::const_iterator Find(const ModuleRecord* record) const;

    std::list<ModuleRecordPtr> records_;
    std::atomic<int> count_{0};
};

}  // namespace marl
