// The registered modules: the list of their records, the lock every walk of it holds,
// and the send handles (one per channel: the first module registered there owns the
// connection). The receive thread and the query thread look modules up while the host's
// thread registers and unregisters them.
//
// The receive thread finds its module for every message on the bus, so besides the list
// the table keeps, per source address, a chain of raw pointers to the records at that
// address, changed only under the module lock. A reader walks it with no lock inside a
// ReadGuard: a removed record is unlinked at once but kept (retired) until no guard that
// may have seen it is left, and only then let go.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "VehicleApp/core/ModuleList.h"
#include "VehicleApp/core/ModuleRecord.h"
#include "platform/Platform.h"

struct ModuleInfo;

namespace marl {

class HostTrace;

constexpr int32_t kNoSendHandle = -1;

class ModuleTable {
public:
    explicit ModuleTable(HostTrace& trace) : trace_(trace) {}
    ModuleTable(const ModuleTable&) = delete;
    ModuleTable& operator=(const ModuleTable&) = delete;

    // Keeps every record found through it alive until it ends. Takes no lock; it must not
    // outlive the table.
    class ReadGuard {
    public:
        explicit ReadGuard(const ModuleTable& table);
        ~ReadGuard();
        ReadGuard(const ReadGuard&) = delete;
        ReadGuard& operator=(const ReadGuard&) = delete;

    private:
        const ModuleTable& table_;
    };

    // Valid handles are 1 to 255; anything else is traced and refused.
    bool CheckHandle(int32_t moduleHandle);
    ModuleRecordPtr FindModule(int32_t moduleHandle) const;
    // The record of the module at `sourceAddress` on the connection of `sendHandle`, in
    // constant time with no lock; it stays valid while `guard` lives.
    ModuleRecord* FindBySourceAddress(const ReadGuard& guard, int32_t sendHandle, uint8_t sourceAddress) const;
    // The first record other than `except` on `channel`; null when `except` is alone there.
    ModuleRecordPtr FindByChannel(const ModuleRecord* except, int16_t channel) const;
    int32_t FindSendHandle(uint8_t componentSa, int16_t channel) const;
    // The handles of the modules that send through `sendHandle`'s connection.
    std::vector<int32_t> ModulesOnConnection(int32_t sendHandle) const;
    // A copy of the list, for work that calls the host or waits: the host may deliver
    // messages meanwhile, and the receive thread looks its module up under the lock.
    std::vector<ModuleRecordPtr> Snapshot() const;
    // The module's source address, 0xFE when no module has the handle.
    uint8_t SourceAddressOf(int32_t moduleHandle) const;

    // Creates the record, gives it its send handle (its own on the first module of a
    // channel, else the first module's), and puts it at the front of the module list.
    ModuleRecordPtr AddModuleRecord(int32_t moduleHandle, const ModuleInfo& info, bool firstOnChannel);
    // A record not yet in the list; null when it cannot be built.
    static ModuleRecordPtr CreateModuleRecord(int32_t moduleHandle, const ModuleInfo& info);
    // Puts a module rebuilt from a recording at the front of the list, unless a module at
    // its address, or with its handle, is registered already: that one stays as it is.
    // Played-back messages arrive with the module's own handle, and no connection of it
    // is polled. True when the record went in.
    bool AddRecordedModule(ModuleRecordPtr record);
    // Removes the record from the list; it is destroyed when the last user lets go of it.
    // The send handle goes with the last module of its connection.
    ModuleRecordPtr RemoveModuleRecord(int32_t moduleHandle);
    int Count() const { return list_.Count(); }
    std::vector<int32_t> SendHandles() const;

private:
    static constexpr size_t kAddressCount = 256;

    // Under the module lock.
    void Link(ModuleRecord& record);
    void Unlink(ModuleRecord& record);
    void Retire(ModuleRecordPtr record);
    ModuleRecordPtr UnlistModuleRecord(int32_t moduleHandle);
    // Lets the retired records go once no guard is left; takes the module lock.
    void ReclaimRetired() const;

    HostTrace& trace_;
    mutable platform::CriticalSection lock_;
    ModuleList list_;
    std::vector<int32_t> sendHandles_;
    std::array<std::atomic<ModuleRecord*>, kAddressCount> bySource_{};
    mutable std::atomic<int> readers_{0};
    mutable std::atomic<bool> retiredWaiting_{false};
    mutable std::vector<ModuleRecordPtr> retired_;
};

}  // namespace marl
