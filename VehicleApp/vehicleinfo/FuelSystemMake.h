// The fuel system names its maker in the component-make data point. Which maker code
// marks the fuel system the tool shows as "CMMNS" / "Agility" depends on the adapter: the
// adapters that defer discovery report it as "AGILITY", the others as "CMMNS".
#pragma once

#include <cstddef>
#include <cstdint>

namespace marl {

const char* FuelSystemMakerCode(int32_t productId);

// True when the make value begins with the maker code: a case-sensitive comparison of
// the code's bytes that stops at a zero byte; the value ends after `length` bytes.
bool MakeMatchesMakerCode(const uint8_t* value, size_t length, const char* makerCode);

}  // namespace marl
