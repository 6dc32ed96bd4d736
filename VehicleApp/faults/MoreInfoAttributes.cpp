#include "VehicleApp/faults/MoreInfoAttributes.h"

#include <cctype>

#include "VehicleApp/faults/MoreInfoLimits.h"

namespace marl {
namespace {

struct KeyName {
    const char* key;
    AttributeSlot slot;
};

// In the order they are tested; the flash code matches by its beginning.
constexpr KeyName kExactKeys[] = {
    {"ID_Type", AttributeSlot::kIdType},
    {"ID", AttributeSlot::kId},
    {"Status", AttributeSlot::kStatus},
    {"Occurrences", AttributeSlot::kOccurrences},
    {"FMI_Description", AttributeSlot::kFmiDescription},
    {"FMI", AttributeSlot::kFmi},
};
constexpr char kFlashCodePrefix[] = "FLASH_CODE";
constexpr size_t kFlashCodePrefixLength = sizeof(kFlashCodePrefix) - 1;

constexpr wchar_t kLineBreak[] = L"\r\n";
constexpr wchar_t kLabelSeparator[] = L": ";

bool SameLetters(const std::string& key, const char* name, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (std::toupper(static_cast<unsigned char>(key[i])) != std::toupper(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

std::wstring Labelled(const std::wstring& label, const std::wstring& value) { return label + kLabelSeparator + value; }

}  // namespace

std::optional<AttributeSlot> SlotForKey(const std::string& key) {
    for (const KeyName& known : kExactKeys) {
        const size_t length = std::char_traits<char>::length(known.key);
        if (key.size() == length && SameLetters(key, known.key, length)) return known.slot;
    }
    if (key.size() >= kFlashCodePrefixLength && SameLetters(key, kFlashCodePrefix, kFlashCodePrefixLength))
        return AttributeSlot::kFlashCode;
    return std::nullopt;
}

void MoreInfoAttributes::Add(const std::string& key, const std::wstring& displayName, const std::wstring& value) {
    const std::optional<AttributeSlot> slot = SlotForKey(key);
    if (!slot) return;
    Slot& target = slots_[static_cast<size_t>(*slot)];
    target.present = true;
    switch (*slot) {
        case AttributeSlot::kIdType:
            target.text = Bounded(value, kWorkingTextCapacity);
            break;
        case AttributeSlot::kId:
            target.text = Bounded(value, kWorkingTextCapacity);
            idLabel_ = Bounded(displayName, kIdLabelCapacity);
            break;
        default:
            target.text = Bounded(Labelled(displayName, value), kWorkingTextCapacity);
            break;
    }
}

std::wstring MoreInfoAttributes::AppendTo(std::wstring body) const {
    auto line = [&body](const std::wstring& text) { body += kLineBreak + text; };
    if (At(AttributeSlot::kFmiDescription).present) line(At(AttributeSlot::kFmiDescription).text);
    if (At(AttributeSlot::kId).present) {
        const Slot& idType = At(AttributeSlot::kIdType);
        line(Labelled(idType.present ? idType.text : idLabel_, At(AttributeSlot::kId).text));
    }
    for (AttributeSlot slot :
         {AttributeSlot::kFmi, AttributeSlot::kStatus, AttributeSlot::kOccurrences, AttributeSlot::kFlashCode}) {
        if (At(slot).present) line(At(slot).text);
    }
    return body;
}

}  // namespace marl
