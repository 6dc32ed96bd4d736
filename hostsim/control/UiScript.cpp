#include "hostsim/control/UiScript.h"

#include <utility>

#include "host/ZorvApi.h"

namespace hostsim {

void UiScript::QueueAnswer(int32_t answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(answer);
}

std::optional<int32_t> UiScript::NextAnswer() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (answers_.empty()) return std::nullopt;
    int32_t answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void UiScript::QueueReply(const std::wstring& reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.emplace_back(reply);
}

void UiScript::QueueHeldScreen() {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_.emplace_back(std::nullopt);
}

void UiScript::SetResponder(Responder responder) {
    std::lock_guard<std::mutex> lock(mutex_);
    responder_ = std::move(responder);
}

std::wstring UiScript::ScreenReply(int32_t moduleHandle, const std::wstring& title, const std::wstring& message) {
    const std::wstring cancelled = std::to_wstring(kUiReplyCancelled);
    std::unique_lock<std::mutex> lock(mutex_);
    if (replies_.empty()) {
        if (!responder_) return cancelled;
        // The responder may take as long as a person does; the script stays usable.
        Responder responder = responder_;
        lock.unlock();
        return responder(moduleHandle, title, message);
    }
    std::optional<std::wstring> reply = std::move(replies_.front());
    replies_.pop_front();
    if (reply) return *reply;

    auto screen = open_.insert(open_.end(), OpenScreen{moduleHandle, false});
    changed_.notify_all();
    changed_.wait_for(lock, kHeldScreenLimit, [&screen] { return screen->closed; });
    open_.erase(screen);
    return cancelled;
}

bool UiScript::WaitForHeldScreen(uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !open_.empty(); });
}

void UiScript::CloseScreensOf(int32_t moduleHandle) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (OpenScreen& screen : open_) {
        if (screen.moduleHandle == moduleHandle) screen.closed = true;
    }
    changed_.notify_all();
}

void UiScript::SetResource(const std::wstring& name, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    resources_[name] = text;
}

std::optional<std::wstring> UiScript::Resource(const std::wstring& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = resources_.find(name);
    if (found == resources_.end()) return std::nullopt;
    return found->second;
}

void UiScript::SetHealthReport(const std::wstring& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    healthReport_ = text;
}

std::wstring UiScript::HealthReport() {
    std::lock_guard<std::mutex> lock(mutex_);
    return healthReport_;
}

void UiScript::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.clear();
    replies_.clear();
    for (OpenScreen& screen : open_) screen.closed = true;
    changed_.notify_all();
    resources_.clear();
    healthReport_.clear();
    responder_ = nullptr;
}

}  // namespace hostsim
