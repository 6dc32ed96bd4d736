// Texts the host gives about a data point, read into bounded buffers: whatever the
// host writes, the text ends at the buffer's end.
#pragma once

#include <cstdint>
#include <string>

#include "host/ZorvTypes.h"

namespace marl {

// Selectors of Zorv_GetDataPointValueStr: the value as it stands, and the value as the
// host last displayed it.
constexpr uint32_t kValueSelectorCurrent = 0;
constexpr uint32_t kValueSelectorDisplayed = 0x7FFFFFFF;

// The host formats values into 255 characters.
constexpr uint16_t kValueTextCapacity = 255;

// The data point's value as display text, in at most `capacity` characters; false when
// the host cannot give it.
bool ReadDataPointValueText(int32_t moduleHandle, TESKID teskId, uint32_t selector, std::wstring& text,
                            uint16_t capacity = kValueTextCapacity);

// A localized resource text of the host's display language; false when there is none.
bool LoadDisplayResource(int32_t moduleHandle, const wchar_t* name, std::wstring& text);

}  // namespace marl
