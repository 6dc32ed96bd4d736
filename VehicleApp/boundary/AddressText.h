// The plain registration entry gives the ECU as a decimal number in a wide text: the low
// byte is the source address, the high byte the channel (channel 1 when it is 0).
#pragma once

#include "host/ZorvRecords.h"

namespace marl {

ModuleInfo ModuleInfoFromAddressText(const wchar_t* addressText);

}  // namespace marl
