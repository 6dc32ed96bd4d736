// Registration of modules and their end: the connection to the bus, the identification
// of the component from the ECU's J1939 NAME, the parameter file, the setting-up of the
// module on the bus, and unregistration and disconnect.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "VehicleApp/core/ModuleRecord.h"

struct ModuleInfo;

namespace marl {

class CVehicleApp;
class HostTrace;

class Registration {
public:
    explicit Registration(CVehicleApp& app);
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

    // ---- registration of one module (Registration.cpp) ----
    uint16_t RegisterModule(uint32_t uiHandle, int32_t moduleHandle, const ModuleInfo& info);
    uint16_t GetDeviceId();
    uint16_t OverrideZorvRp1210Implementation(int32_t moduleHandle);
    uint16_t ConnectToBus(int32_t moduleHandle, int16_t channel, bool firstOnChannel);
    // The adapter's product id; 0 when the host cannot tell.
    int32_t GetProductId();
    // Asks the host which adapter the channel uses and keeps the answer.
    void IdentifyAdapter() { productId_.store(GetProductId()); }
    // Adapters whose supported-PGN discovery waits for registration completion.
    bool IsDeferredDiscoveryAdapter() const;
    int32_t ProductId() const { return productId_.load(); }

    // ---- component identification and the parameter file (ComponentIdentification.cpp) ----
    uint16_t GetJ1939NameAndLoadBinFile(ModuleRecord& record);
    uint16_t LoadParameterFile(int32_t moduleHandle, const wchar_t* vehicleName, const char* componentName,
                               const wchar_t* fileName);
    // Names the component after the address the ECU's J1939 NAME stands for and keeps
    // that address as the record's component SA.
    void GetComponentNameByJ1939Name(ModuleRecord& record, char* componentName, size_t componentCapacity,
                                     wchar_t* fileName, size_t fileCapacity);
    // True while the NAME request runs: Address Claimed messages then reach the parser.
    bool NameRequestPending() const { return nameRequestPending_.load(); }
    // Holds the NAME request open for its scope, however the scope is left.
    class NameRequestScope {
    public:
        explicit NameRequestScope(Registration& owner) : owner_(owner) { owner_.nameRequestPending_ = true; }
        ~NameRequestScope() { owner_.nameRequestPending_ = false; }
        NameRequestScope(const NameRequestScope&) = delete;
        NameRequestScope& operator=(const NameRequestScope&) = delete;

    private:
        Registration& owner_;
    };

    // ---- finishing registration (FinishRegistration.cpp) ----
    // Filter, address claim, categories and discovery. The second form works on a record
    // the caller already holds (in playback it is not in the module list); a null record
    // gives 5.
    uint16_t FinishRegistration(int32_t moduleHandle);
    uint16_t FinishRegistration(int32_t moduleHandle, const ModuleRecordPtr& record);
    uint16_t SetFilterForSourceAddress(const ModuleRecord& record);
    uint16_t SendClaimDiagToolAddress(int32_t sendHandle);
    // The connection the module's bus commands go through: the send handle registered
    // for its address and channel, or the record's own when none is registered.
    int32_t BusHandleOf(const ModuleRecord& record);

    // ---- unregistration and disconnect (Unregistration.cpp) ----
    uint16_t UnregisterModule(int32_t moduleHandle);
    uint16_t NotifyDisconnect(int32_t moduleHandle);
    void UnclaimBusAddress(int32_t sendHandle);

private:
    CVehicleApp& app_;
    HostTrace& trace_;
    std::atomic<int32_t> productId_{0};
    std::atomic<uint16_t> deviceId_{0xFFFF};
    std::atomic<bool> nameRequestPending_{false};
};

}  // namespace marl
