#include "hostsim/control/UiScript.h"

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
    replies_.push_back(reply);
}

std::optional<std::wstring> UiScript::NextReply() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (replies_.empty()) return std::nullopt;
    std::wstring reply = replies_.front();
    replies_.pop_front();
    return reply;
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
    resources_.clear();
    healthReport_.clear();
}

}  // namespace hostsim
