// The request text of the host's fault-information commands: fields separated by "§",
// the fault group ID, the fault's bin number and its FMI, in decimal. The host's buffer
// may hold anything, so the text is read within the length the host gave, a field only
// up to its first 255 characters, and a number that does not fit its type saturates.
#pragma once

#include <cstddef>
#include <cstdint>

namespace marl {

struct FaultRequest {
    uint32_t groupId = 0;
    int64_t binNumber = 0;
    int32_t fmi = 0;
};

// Characters of a field that are read; the rest of it is skipped.
constexpr size_t kFaultRequestFieldLength = 255;

// A text without any "§" gives zeros; missing fields read as 0. `capacity` bounds the
// read when the text has no terminator.
FaultRequest ReadFaultRequest(const wchar_t* text, size_t capacity);

}  // namespace marl
