#include "hostsim/imports/ScaledAttributes.h"

#include <cstdlib>
#include <utility>

#include "hostsim/HostSim.h"

namespace hostsim {
namespace {
std::atomic<int32_t> gLive{0};
}

ScaledAttributes::ScaledAttributes(uint16_t attributeId, bool hasValue, std::string valueText)
    : attributeId_(attributeId), hasValue_(hasValue), valueText_(std::move(valueText)) {
    ++gLive;
}

ScaledAttributes::~ScaledAttributes() { --gLive; }

int32_t ZORV_STDCALL ScaledAttributes::AddRef() { return ++references_; }

int32_t ZORV_STDCALL ScaledAttributes::Release() {
    int32_t left = --references_;
    if (left == 0) delete this;
    return left;
}

uint16_t ZORV_STDCALL ScaledAttributes::GetAttributeId() { return attributeId_; }

ZResult ZORV_STDCALL ScaledAttributes::GetScaledNumber(double* value) {
    if (value == nullptr || !hasValue_) return kResultNotFound;
    char* end = nullptr;
    double number = std::strtod(valueText_.c_str(), &end);
    if (end == valueText_.c_str()) return kResultNotFound;
    *value = number;
    return kZorvSuccess;
}

const char* ZORV_STDCALL ScaledAttributes::GetValueText(int32_t /*form*/) {
    return hasValue_ ? valueText_.c_str() : nullptr;
}

int32_t ScaledAttributes::LiveCount() { return gLive.load(); }

}  // namespace hostsim
