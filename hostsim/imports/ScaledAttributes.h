// The host's scaled fault attribute handed to the plug-in by Zorv_GetScaledAttributeByID.
// It lives until its last Release; the host counts live objects so that a test can see
// the plug-in give every one back.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "host/ZorvRecords.h"

namespace hostsim {

class ScaledAttributes final : public IScaledAttributes {
public:
    ScaledAttributes(uint16_t attributeId, bool hasValue, std::string valueText);

    int32_t ZORV_STDCALL AddRef() override;
    int32_t ZORV_STDCALL Release() override;
    uint16_t ZORV_STDCALL GetAttributeId() override;
    ZResult ZORV_STDCALL GetScaledNumber(double* value) override;
    const char* ZORV_STDCALL GetValueText(int32_t form) override;

    static int32_t LiveCount();

private:
    ~ScaledAttributes();

    std::atomic<int32_t> references_{1};
    uint16_t attributeId_;
    bool hasValue_;
    std::string valueText_;
};

}  // namespace hostsim
