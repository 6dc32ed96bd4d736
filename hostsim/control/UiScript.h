// What the host's user interface answers, scripted by a test: message-box answers and
// guided-test replies in order, resource texts by name, and the health report text.
//
// A guided-test screen takes the next scripted reply at once. A held screen stays open,
// its caller blocked as a user who has not answered yet keeps it, until the host closes
// the screens of its module (the module stops its notifications), the script is reset,
// or kHeldScreenLimit passes; it then answers as a user who left (kUiReplyCancelled).
// With nothing scripted the user leaves at once, so a test never waits on a screen that
// nobody answers.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace hostsim {

constexpr std::chrono::seconds kHeldScreenLimit{30};

class UiScript {
public:
    void QueueAnswer(int32_t answer);
    std::optional<int32_t> NextAnswer();
    void QueueReply(const std::wstring& reply);
    void QueueHeldScreen();
    // Who answers the screens nothing was scripted for (a person at the console);
    // without one the user leaves them.
    using Responder =
        std::function<std::wstring(int32_t moduleHandle, const std::wstring& title, const std::wstring& message)>;
    void SetResponder(Responder responder);
    // The reply of the next screen of a module; blocks while the screen is held or the
    // responder thinks.
    std::wstring ScreenReply(int32_t moduleHandle, const std::wstring& title, const std::wstring& message);
    // True once a held screen is open (within `timeoutMs`).
    bool WaitForHeldScreen(uint32_t timeoutMs);
    void CloseScreensOf(int32_t moduleHandle);
    void SetResource(const std::wstring& name, const std::wstring& text);
    std::optional<std::wstring> Resource(const std::wstring& name);
    void SetHealthReport(const std::wstring& text);
    std::wstring HealthReport();
    // Forgets the script and closes every held screen.
    void Reset();

private:
    struct OpenScreen {
        int32_t moduleHandle = 0;
        bool closed = false;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<int32_t> answers_;
    std::deque<std::optional<std::wstring>> replies_;  // empty: a held screen
    std::list<OpenScreen> open_;
    std::map<std::wstring, std::wstring> resources_;
    Responder responder_;
    std::wstring healthReport_;
};

}  // namespace hostsim
