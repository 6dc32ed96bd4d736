// What the DPF regeneration test sends: its screens to the host's user interface, texts
// of "§"-separated fields within the host's 256-character message buffer, and its DM7
// to the ECU. The numbers of the screens are the host's; they are sent as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace marl {

// The host's message buffer, terminator included; the reply buffer is as large.
constexpr size_t kScreenTextCapacity = 256;

constexpr const wchar_t* kDpfTestTitle = L"DPF Active Regeneration Test";
constexpr const wchar_t* kTestCompletedButtonText = L"Test Completed - Press Start To ReStart Test";
// Host resources: the name of the test's SPN, and the Start button's first text.
constexpr const wchar_t* kDpfTestSpnResource = L"SPN_4175";
constexpr const wchar_t* kStartButtonResource = L"PRESS_START_BUTTON_TEXT";
constexpr int32_t kResourceStringType = 1;

// The last argument of a screen: 0 shows it, -1 waits for the user's answer.
constexpr int32_t kScreenShow = 0;
constexpr int32_t kScreenAwait = -1;

// Opens the test screen: "201".
std::wstring OpenScreenText();
// Asks the user to go on: "213§901§6".
std::wstring FirstPromptText();
// The test screen with the SPN's name and the data points it shows:
// "201§900§2§<spn text>§<id>§<id>§...". Data points that do not fit the buffer are left
// out, whole; an SPN text that does not fit is cut.
std::wstring TestScreenText(const std::wstring& spnText, const std::vector<uint32_t>& teskIds);
// Waits for Start: "206§900§4§<button text>§".
std::wstring StartScreenText(const std::wstring& buttonText);
// Closes the test screen: "202§".
std::wstring CloseScreenText();

// The reply's leading decimal number, taken as an 8-bit value as the host's screens
// mean it (kUiReplyCancelled: the user left). Read within `capacity` characters.
uint8_t ReplyCode(const wchar_t* reply, size_t capacity);

// The four data bytes of the DM7 that has the ECU regenerate its DPF: test identifier
// 249, SPN 4175 with FMI 31 (F9 4F 10 1F).
std::vector<uint8_t> DpfRegenerationCommand();

}  // namespace marl
