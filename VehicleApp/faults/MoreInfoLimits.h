// The sizes of the texts the fault-information window is built from, in characters with
// the terminator. A text that would be longer is cut at its end.
#pragma once

#include <cstddef>
#include <string>

namespace marl {

constexpr size_t kWorkingTextCapacity = 255;
constexpr size_t kIdLabelCapacity = 50;
constexpr size_t kMoreInfoCaptionCapacity = 255;
constexpr size_t kMoreInfoBodyCapacity = 2048;

inline std::wstring Bounded(const std::wstring& text, size_t capacity) {
    return capacity == 0 ? std::wstring() : text.substr(0, capacity - 1);
}

}  // namespace marl
