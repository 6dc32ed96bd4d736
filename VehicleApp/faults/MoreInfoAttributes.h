// The fault attributes the more-info body shows, picked by the key the host gives each
// attribute and shown in a fixed order, whatever order the host lists them in.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace marl {

enum class AttributeSlot { kFmiDescription, kFmi, kIdType, kId, kStatus, kOccurrences, kFlashCode, kCount };

// Keys compare without regard to case: "ID_Type", "ID", "Status", "Occurrences",
// "FMI_Description", "FMI", and any key that begins with "FLASH_CODE". Other keys have
// no slot.
std::optional<AttributeSlot> SlotForKey(const std::string& key);

class MoreInfoAttributes {
public:
    // A later attribute of the same slot replaces the earlier one.
    void Add(const std::string& key, const std::wstring& displayName, const std::wstring& value);
    // The body with one line for each attribute seen: FMI description, the ID (labelled
    // by the ID type's value, else by its own display name), FMI, status, occurrences,
    // flash code.
    std::wstring AppendTo(std::wstring body) const;

private:
    struct Slot {
        bool present = false;
        std::wstring text;
    };
    const Slot& At(AttributeSlot slot) const { return slots_[static_cast<size_t>(slot)]; }

    std::array<Slot, static_cast<size_t>(AttributeSlot::kCount)> slots_;
    std::wstring idLabel_;
};

}  // namespace marl
