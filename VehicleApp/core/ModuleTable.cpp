// Finding, adding and removing module records. Every walk of the list holds the module
// lock; the records themselves are shared pointers, so a thread keeps the record it
// found alive while it works with it. The chains by source address are read with no
// lock: every operation on them and on the guard count is sequentially consistent, so a
// guard that began after a record was unlinked cannot reach it, and a retired record is
// let go only once the count has been seen at zero after it was unlinked.
#include "VehicleApp/core/ModuleTable.h"

#include <algorithm>
#include <memory>
#include <new>
#include <utility>

#include "VehicleApp/core/HostTrace.h"
#include "VehicleApp/core/J1939Constants.h"

namespace marl {
namespace {
constexpr int32_t kFirstValidHandle = 1;
constexpr int32_t kLastValidHandle = 255;
}  // namespace

bool ModuleTable::CheckHandle(int32_t moduleHandle) {
    if (moduleHandle >= kFirstValidHandle && moduleHandle <= kLastValidHandle) return true;
    trace_.Write(kTraceFailure, 0, L"%s invalid ModHandle", L"CVehicleApp::CheckHandle (Line 2042)");
    return false;
}

ModuleRecordPtr ModuleTable::FindModule(int32_t moduleHandle) const {
    platform::CsLock lock(lock_);
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec->Handle() == moduleHandle) return rec;
    }
    return nullptr;
}

ModuleTable::ReadGuard::ReadGuard(const ModuleTable& table) : table_(table) { table_.readers_.fetch_add(1); }

ModuleTable::ReadGuard::~ReadGuard() {
    if (table_.readers_.fetch_sub(1) == 1 && table_.retiredWaiting_.load()) table_.ReclaimRetired();
}

ModuleRecord* ModuleTable::FindBySourceAddress(const ReadGuard& /*guard*/, int32_t sendHandle,
                                               uint8_t sourceAddress) const {
    for (ModuleRecord* rec = bySource_[sourceAddress].load(); rec != nullptr; rec = rec->nextAtAddress_.load()) {
        if (rec->SendHandle() == sendHandle) return rec;
    }
    return nullptr;
}

void ModuleTable::Link(ModuleRecord& record) {
    std::atomic<ModuleRecord*>& head = bySource_[record.EcuAddress()];
    record.nextAtAddress_.store(head.load());
    head.store(&record);
}

void ModuleTable::Unlink(ModuleRecord& record) {
    // The record keeps its own link, so a reader standing on it walks on as before.
    std::atomic<ModuleRecord*>* link = &bySource_[record.EcuAddress()];
    for (ModuleRecord* rec = link->load(); rec != nullptr; rec = link->load()) {
        if (rec == &record) {
            link->store(rec->nextAtAddress_.load());
            return;
        }
        link = &rec->nextAtAddress_;
    }
}

void ModuleTable::Retire(ModuleRecordPtr record) {
    retired_.push_back(std::move(record));
    retiredWaiting_.store(true);
}

void ModuleTable::ReclaimRetired() const {
    std::vector<ModuleRecordPtr> released;
    {
        platform::CsLock lock(lock_);
        if (readers_.load() != 0) return;
        released.swap(retired_);
        retiredWaiting_.store(false);
    }
    // Destroyed here, outside the lock, when nobody else holds them.
}

ModuleRecordPtr ModuleTable::FindByChannel(const ModuleRecord* except, int16_t channel) const {
    platform::CsLock lock(lock_);
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec.get() != except && rec->Channel() == channel) return rec;
    }
    return nullptr;
}

int32_t ModuleTable::FindSendHandle(uint8_t componentSa, int16_t channel) const {
    platform::CsLock lock(lock_);
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec->ComponentSa() == componentSa && rec->Channel() == channel) return rec->SendHandle();
    }
    return kNoSendHandle;
}

std::vector<int32_t> ModuleTable::ModulesOnConnection(int32_t sendHandle) const {
    std::vector<int32_t> handles;
    platform::CsLock lock(lock_);
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec->SendHandle() == sendHandle) handles.push_back(rec->Handle());
    }
    return handles;
}

std::vector<ModuleRecordPtr> ModuleTable::Snapshot() const {
    std::vector<ModuleRecordPtr> records;
    platform::CsLock lock(lock_);
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) records.push_back(rec);
    return records;
}

uint8_t ModuleTable::SourceAddressOf(int32_t moduleHandle) const {
    ModuleRecordPtr rec = FindModule(moduleHandle);
    return rec ? rec->EcuAddress() : kNullAddress;
}

ModuleRecordPtr ModuleTable::CreateModuleRecord(int32_t moduleHandle, const ModuleInfo& info) {
    auto record = std::shared_ptr<ModuleRecord>(new (std::nothrow) ModuleRecord(moduleHandle, info));
    if (!record || !record->Valid()) return nullptr;
    return record;
}

bool ModuleTable::AddRecordedModule(ModuleRecordPtr record) {
    if (!record) return false;
    platform::CsLock lock(lock_);
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec->EcuAddress() == record->EcuAddress() || rec->Handle() == record->Handle()) return false;
    }
    record->SetSendHandle(record->Handle());
    Link(*record);
    list_.InsertAfter(nullptr, std::move(record));
    return true;
}

ModuleRecordPtr ModuleTable::AddModuleRecord(int32_t moduleHandle, const ModuleInfo& info, bool firstOnChannel) {
    ModuleRecordPtr record = CreateModuleRecord(moduleHandle, info);
    if (!record) return nullptr;

    platform::CsLock lock(lock_);
    if (firstOnChannel) {
        record->SetSendHandle(moduleHandle);
        sendHandles_.push_back(moduleHandle);
    } else {
        // The first registered module of the channel owns the connection; it sits
        // furthest back because records go in at the front.
        int32_t sendHandle = kNoSendHandle;
        for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
            if (rec->Channel() == record->Channel()) sendHandle = rec->SendHandle();
        }
        record->SetSendHandle(sendHandle);
    }
    Link(*record);
    list_.InsertAfter(nullptr, record);
    return record;
}

ModuleRecordPtr ModuleTable::RemoveModuleRecord(int32_t moduleHandle) {
    ModuleRecordPtr removed = UnlistModuleRecord(moduleHandle);
    if (removed) ReclaimRetired();
    return removed;
}

ModuleRecordPtr ModuleTable::UnlistModuleRecord(int32_t moduleHandle) {
    platform::CsLock lock(lock_);
    ModuleRecordPtr removed;
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec->Handle() == moduleHandle) {
            removed = list_.Remove(rec.get());
            break;
        }
    }
    if (!removed) return nullptr;
    Unlink(*removed);
    Retire(removed);
    // A connection no module uses any more is not polled again.
    bool connectionInUse = false;
    for (ModuleRecordPtr rec = list_.Next(nullptr); rec; rec = list_.Next(rec.get())) {
        if (rec->SendHandle() == removed->SendHandle()) connectionInUse = true;
    }
    if (!connectionInUse) {
        sendHandles_.erase(std::remove(sendHandles_.begin(), sendHandles_.end(), removed->SendHandle()),
                           sendHandles_.end());
    }
    return removed;
}

std::vector<int32_t> ModuleTable::SendHandles() const {
    platform::CsLock lock(lock_);
    return sendHandles_;
}

}  // namespace marl
