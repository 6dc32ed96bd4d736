// Imports of the host's user interface and resources.
#include <cstring>
#include <string>
#include <utility>

#include "host/ZorvApi.h"
#include "hostsim/imports/ArgText.h"
#include "hostsim/Host.h"
#include "hostsim/HostSim.h"
#include "hostsim/TextConvert.h"

using namespace hostsim;

ZResult ZORV_STDCALL Zorv_UIGenericMsg(ZUiHandle uiHandle, const wchar_t* text, uint32_t buttons, uint32_t icon,
                                       int32_t* answer) {
    int32_t forced = Enter("Zorv_UIGenericMsg", {arg::Num(uiHandle), arg::Text(text), arg::Num(buttons),
                                                 arg::Num(icon), arg::InOut(answer)});
    if (forced != 0) return static_cast<ZResult>(forced);
    auto scripted = TheHost().ui.NextAnswer();
    if (scripted && answer != nullptr) *answer = *scripted;
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_UIMsgDataInput(ZUiHandle uiHandle, ZModuleHandle handle, const wchar_t* title,
                                         const wchar_t* message, int32_t options, void* reserved1, void* reserved2,
                                         wchar_t* reply, int32_t replyOptions, int32_t mode) {
    int32_t forced = Enter("Zorv_UIMsgDataInput", {arg::Num(uiHandle), arg::Num(handle), arg::Text(title),
                                                   arg::Text(message), arg::Num(options), arg::Ptr(reserved1),
                                                   arg::Ptr(reserved2), arg::Out(reply), arg::Num(replyOptions),
                                                   arg::Num(mode)});
    if (forced != 0) return static_cast<ZResult>(forced);
    // The screen stays open, and the call blocks, until the user answers it.
    const std::wstring titleText = title != nullptr ? title : L"";
    const std::wstring messageText = message != nullptr ? message : L"";
    std::wstring answer = TheHost().ui.ScreenReply(handle, titleText, messageText);
    if (reply != nullptr) TheHost().hostile.Text(answer, reply, kUiReplyCapacity);
    TheHost().uiScreens.Add(UiScreen{handle, WideToUtf8(titleText), WideToUtf8(messageText), WideToUtf8(answer)});
    return kZorvSuccess;
}

ZResult ZORV_STDCALL ZorvLite_FaultInfoMsg(ZModuleHandle handle, const wchar_t* caption, const wchar_t* body,
                                           ZBool32 freezeFrameFound, ZCategoryId category,
                                           const char* categoryName) {
    int32_t forced =
        Enter("ZorvLite_FaultInfoMsg", {arg::Num(handle), arg::Text(caption), arg::Text(body),
                                        arg::Num(freezeFrameFound), arg::Num(category), arg::Text(categoryName)});
    if (forced != 0) return static_cast<ZResult>(forced);
    FaultInfoWindow window;
    window.handle = handle;
    window.caption = caption != nullptr ? WideToUtf8(caption) : std::string();
    window.body = body != nullptr ? WideToUtf8(body) : std::string();
    window.freezeFrameFound = freezeFrameFound != 0;
    window.categoryId = category;
    if (categoryName != nullptr)
        window.categoryName = WideToUtf8(Latin1ToWide(categoryName, std::strlen(categoryName)));
    TheHost().faultWindows.Add(std::move(window));
    return kZorvSuccess;
}

ZResult ZORV_STDCALL Zorv_LoadResourceStringByName(ZModuleHandle handle, const wchar_t* name, int32_t stringType,
                                                   wchar_t* text, uint16_t capacity) {
    int32_t forced = Enter("Zorv_LoadResourceStringByName", {arg::Num(handle), arg::Text(name),
                                                             arg::Num(stringType), arg::Out(text),
                                                             arg::Num(capacity)});
    if (forced != 0) return static_cast<ZResult>(forced);
    if (name == nullptr) return kResultNotFound;
    auto resource = TheHost().ui.Resource(name);
    if (!resource) return kResultNotFound;
    TheHost().hostile.Text(*resource, text, capacity);
    return kZorvSuccess;
}
