// What the host's user interface answers, scripted by a test: message-box answers and
// guided-test replies in order, resource texts by name, and the health report text.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace hostsim {

class UiScript {
public:
    void QueueAnswer(int32_t answer);
    std::optional<int32_t> NextAnswer();
    void QueueReply(const std::wstring& reply);
    std::optional<std::wstring> NextReply();
    void SetResource(const std::wstring& name, const std::wstring& text);
    std::optional<std::wstring> Resource(const std::wstring& name);
    void SetHealthReport(const std::wstring& text);
    std::wstring HealthReport();
    void Reset();

private:
    std::mutex mutex_;
    std::deque<int32_t> answers_;
    std::deque<std::wstring> replies_;
    std::map<std::wstring, std::wstring> resources_;
    std::wstring healthReport_;
};

}  // namespace hostsim
