#include "VehicleApp/guidedtest/DpfTestMessages.h"

#include <initializer_list>

#include "VehicleApp/text/WideText.h"
#include "j1939/Protocol.h"

namespace marl {
namespace {

constexpr int kTestScreen = 201;
constexpr int kCloseScreen = 202;
constexpr int kStartScreen = 206;
constexpr int kPromptScreen = 213;
constexpr int kTestLayout = 900;
constexpr int kPromptLayout = 901;
constexpr int kTestScreenFields = 2;
constexpr int kStartScreenFields = 4;
constexpr int kPromptFields = 6;
constexpr size_t kLongestText = kScreenTextCapacity - 1;
constexpr uint32_t kDecimalBase = 10;

// The numbers as fields, each followed by the separator.
std::wstring Fields(std::initializer_list<int> numbers) {
    std::wstring text;
    for (int number : numbers) text += text::Decimal(number) + kFieldSeparator;
    return text;
}

std::wstring Cut(std::wstring text) {
    if (text.size() > kLongestText) text.resize(kLongestText);
    return text;
}

}  // namespace

std::wstring OpenScreenText() { return text::Decimal(kTestScreen); }

std::wstring FirstPromptText() {
    std::wstring text = Fields({kPromptScreen, kPromptLayout, kPromptFields});
    text.pop_back();
    return text;
}

std::wstring TestScreenText(const std::wstring& spnText, const std::vector<uint32_t>& teskIds) {
    std::wstring text = Cut(Fields({kTestScreen, kTestLayout, kTestScreenFields}) + spnText + kFieldSeparator);
    for (uint32_t teskId : teskIds) {
        const std::wstring field = text::Decimal(teskId) + kFieldSeparator;
        if (text.size() + field.size() > kLongestText) break;
        text += field;
    }
    return text;
}

std::wstring StartScreenText(const std::wstring& buttonText) {
    return Cut(Fields({kStartScreen, kTestLayout, kStartScreenFields}) + buttonText + kFieldSeparator);
}

std::wstring CloseScreenText() { return Fields({kCloseScreen}); }

uint8_t ReplyCode(const wchar_t* reply, size_t capacity) {
    if (reply == nullptr) return 0;
    size_t i = 0;
    while (i < capacity && (reply[i] == L' ' || reply[i] == L'\t')) ++i;
    bool negative = false;
    if (i < capacity && (reply[i] == L'-' || reply[i] == L'+')) negative = reply[i++] == L'-';
    // Only the low eight bits count, and they do not depend on the digits' overflow.
    uint32_t value = 0;
    for (; i < capacity && reply[i] >= L'0' && reply[i] <= L'9'; ++i)
        value = value * kDecimalBase + static_cast<uint32_t>(reply[i] - L'0');
    return static_cast<uint8_t>(negative ? 0u - value : value);
}

std::vector<uint8_t> DpfRegenerationCommand() {
    std::vector<uint8_t> data = {j1939::kTidDpfRegeneration};
    j1939::AppendSpnFmi(data, j1939::kSpnDpfActiveRegenerationForced, j1939::kFmiNotAvailable);
    return data;
}

}  // namespace marl
