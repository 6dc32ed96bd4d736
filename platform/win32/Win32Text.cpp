// ANSI code-page conversion and debug output over Win32.
#include "platform/Platform.h"

#include <windows.h>

namespace marl::platform {

int WideToAnsi(const wchar_t* src, int srcLen, char* dst, int dstCap, bool* usedDefault) {
    BOOL defaulted = FALSE;
    // UTF-8 as the ANSI code page refuses the used-default flag; it has no default
    // character to report anyway.
    BOOL* defaultedFlag = (usedDefault != nullptr && GetACP() != CP_UTF8) ? &defaulted : nullptr;
    const int result =
        WideCharToMultiByte(CP_ACP, 0, src, srcLen, dst, dstCap, nullptr, defaultedFlag);
    if (usedDefault != nullptr) {
        *usedDefault = defaulted != FALSE;
    }
    return result;
}

int AnsiToWide(const char* src, int srcLen, wchar_t* dst, int dstCap) {
    return MultiByteToWideChar(CP_ACP, 0, src, srcLen, dst, dstCap);
}

void DebugOutput(const wchar_t* text) {
    if (text != nullptr) {
        OutputDebugStringW(text);
    }
}

}  // namespace marl::platform
