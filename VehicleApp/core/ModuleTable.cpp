// Finding, adding and removing module records. Every walk of the list holds the module
// lock: the receive thread and the query thread look modules up while the host's thread
// registers and unregisters them.
#include <memory>
#include <new>

#include "VehicleApp/CVehicleApp.h"

namespace marl {
namespace {
constexpr int32_t kFirstValidHandle = 1;
constexpr int32_t kLastValidHandle = 255;
}  // namespace

bool CVehicleApp::CheckHandle(int32_t moduleHandle) {
    if (moduleHandle >= kFirstValidHandle && moduleHandle <= kLastValidHandle) return true;
    trace_.Write(kTraceFailure, 0, L"%s invalid ModHandle", L"CVehicleApp::CheckHandle (Line 2042)");
    return false;
}

ModuleRecordPtr CVehicleApp::FindModule(int32_t moduleHandle) {
    if (moduleList_ == nullptr) return nullptr;
    platform::CsLock lock(moduleLock_);
    for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
        if (rec->Handle() == moduleHandle) return rec;
    }
    return nullptr;
}

ModuleRecordPtr CVehicleApp::FindByChannel(const ModuleRecord* except, int16_t channel) {
    if (moduleList_ == nullptr) return nullptr;
    platform::CsLock lock(moduleLock_);
    for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
        if (rec.get() != except && rec->Channel() == channel) return rec;
    }
    return nullptr;
}

int32_t CVehicleApp::FindSendHandle(uint8_t componentSa, int16_t channel) {
    if (moduleList_ == nullptr) return kNoSendHandle;
    platform::CsLock lock(moduleLock_);
    for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
        if (rec->ComponentSa() == componentSa && rec->Channel() == channel) return rec->SendHandle();
    }
    return kNoSendHandle;
}

std::vector<int32_t> CVehicleApp::ModulesOnConnection(int32_t sendHandle) {
    std::vector<int32_t> handles;
    if (moduleList_ == nullptr) return handles;
    platform::CsLock lock(moduleLock_);
    for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
        if (rec->SendHandle() == sendHandle) handles.push_back(rec->Handle());
    }
    return handles;
}

ModuleRecordPtr CVehicleApp::AddModuleRecord(int32_t moduleHandle, const ModuleInfo& info, bool firstOnChannel) {
    if (moduleList_ == nullptr) return nullptr;
    auto record = std::shared_ptr<ModuleRecord>(new (std::nothrow) ModuleRecord(moduleHandle, info));
    if (!record || !record->Valid()) return nullptr;

    platform::CsLock lock(moduleLock_);
    if (firstOnChannel) {
        record->SetSendHandle(moduleHandle);
        sendHandles_.push_back(moduleHandle);
    } else {
        // The first registered module of the channel owns the connection; it sits
        // furthest back because records go in at the front.
        int32_t sendHandle = kNoSendHandle;
        for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
            if (rec->Channel() == record->Channel()) sendHandle = rec->SendHandle();
        }
        record->SetSendHandle(sendHandle);
    }
    moduleList_->InsertAfter(nullptr, record);
    return record;
}

ModuleRecordPtr CVehicleApp::RemoveModuleRecord(int32_t moduleHandle) {
    if (moduleList_ == nullptr) return nullptr;
    platform::CsLock lock(moduleLock_);
    for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
        if (rec->Handle() == moduleHandle) return moduleList_->Remove(rec.get());
    }
    return nullptr;
}

uint8_t CVehicleApp::GetModuleSourceAddress(int32_t moduleHandle) {
    ModuleRecordPtr rec = FindModule(moduleHandle);
    return rec ? rec->EcuAddress() : kNullAddress;
}

}  // namespace marl
