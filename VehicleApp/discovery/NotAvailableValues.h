// Data points whose value reads as not available (the host's localized text, or "N/A")
// say nothing about the vehicle; after discovery they are hidden like unsupported ones.
#pragma once

#include <cstdint>

namespace marl {

// Looks at every visible data point of the module. A data point marked as never hidden
// for this reason, or standing for a guided test, keeps its visibility; so does one the
// host cannot describe fully.
void HideNotAvailableValues(int32_t moduleHandle);

}  // namespace marl
