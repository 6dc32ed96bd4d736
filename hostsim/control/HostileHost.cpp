#include "hostsim/control/HostileHost.h"

#include "hostsim/TextConvert.h"

namespace hostsim {
namespace {

template <typename Char>
size_t Unterminated(const std::basic_string<Char>& text, Char* buffer, size_t capacity) {
    // Whatever the text, every character of the buffer is written and none is a zero.
    const Char filler = static_cast<Char>('#');
    for (size_t i = 0; i < capacity; ++i) buffer[i] = i < text.size() && text[i] != 0 ? text[i] : filler;
    return capacity;
}

}  // namespace

size_t HostileHost::Text(const std::wstring& text, wchar_t* buffer, size_t capacity) const {
    if (buffer != nullptr && Has(kHostileUnterminatedTexts)) return Unterminated(text, buffer, capacity);
    return CopyText(text, buffer, capacity);
}

size_t HostileHost::Text(const std::string& text, char* buffer, size_t capacity) const {
    if (buffer != nullptr && Has(kHostileUnterminatedTexts)) return Unterminated(text, buffer, capacity);
    return CopyText(text, buffer, capacity);
}

}  // namespace hostsim
