// Whether the parameter lists show only what the vehicle supports. By default they do;
// a test setting of the host's installation lets the user choose at registration.
//
// The host's configuration file is read with SimpleIni's wide, case-insensitive class in
// its default (not UTF-8) mode: on Windows the file's bytes are taken in the ANSI code
// page, which is how the host writes it. Elsewhere the library's character type is
// ICU's, so the section and key are built in whatever that type is.
#include <SimpleIni.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"
#include "platform/Platform.h"

namespace marl {
namespace {

constexpr const char* kConfigFile = "\\Hard Disk\\Brakk\\Zorv\\Ini\\AppConfig.ini";
constexpr const char* kSection = "Testing";
constexpr const char* kKey = "MarlJ1939PromptShowAllParameters";
constexpr long kPromptOff = 0;

constexpr const wchar_t* kPromptText = L"Marl J1939: Show only supported parameters?";
constexpr size_t kPromptCapacity = 255;
// Windows message-box codes: Yes/No buttons, question icon, and the Yes answer.
constexpr uint32_t kButtonsYesNo = 4;
constexpr uint32_t kIconQuestion = 32;
constexpr int32_t kAnswerYes = 6;

using IniChar =
    std::remove_const_t<std::remove_pointer_t<decltype(std::declval<CSimpleIniW>().GetValue(nullptr, nullptr))>>;

std::basic_string<IniChar> IniText(const char* ascii) {
    std::basic_string<IniChar> out;
    for (const char* p = ascii; *p != '\0'; ++p) out.push_back(static_cast<IniChar>(*p));
    return out;
}

// The whole file, or nothing when any step fails.
void LoadConfiguration(CSimpleIniW& ini) {
    const std::string path = platform::HostPath(kConfigFile);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0) {
            const auto bytes = static_cast<size_t>(size);
            std::unique_ptr<char[]> buffer(new (std::nothrow) char[bytes]);
            if (buffer && std::fseek(file, 0, SEEK_SET) == 0 && std::fread(buffer.get(), 1, bytes, file) == bytes) {
                ini.LoadData(buffer.get(), bytes);
            }
        }
    }
    std::fclose(file);
}

}  // namespace

void ReceivePath::PromptShowOnlySupported(uint32_t uiHandle) {
    CSimpleIniW ini;
    LoadConfiguration(ini);
    const long value = ini.GetLongValue(IniText(kSection).c_str(), IniText(kKey).c_str(), kPromptOff);

    bool onlySupported = true;
    if (!app_.InPlayback() && value != kPromptOff) {
        int32_t answer = 0;
        wchar_t prompt[kPromptCapacity] = {};
        text::CopyToBuffer(kPromptText, prompt, kPromptCapacity);
        Zorv_UIGenericMsg(uiHandle, prompt, kButtonsYesNo, kIconQuestion, &answer);
        onlySupported = answer == kAnswerYes;
    }
    app_.Discoveries().SetShowOnlySupported(onlySupported);
}

}  // namespace marl
