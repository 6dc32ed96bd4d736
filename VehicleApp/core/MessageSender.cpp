// Every message the plug-in puts on the bus goes through here, one exchange at a time.
#include "VehicleApp/core/MessageSender.h"

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"

namespace marl {
namespace {
// Options the host's sender takes for a plain J1939 message.
constexpr int32_t kSendOption1 = 1;
constexpr int32_t kSendOption2 = 1;
constexpr int32_t kSendOption3 = 0;

// The awaited answer as one word: a flag that it is armed, the address, the PGN.
constexpr uint64_t kArmedFlag = uint64_t{1} << 40;
constexpr unsigned kAddressShift = 32;
constexpr uint64_t kPgnBits = 0xFFFFFFFFu;
constexpr uint64_t kDisarmed = 0;

uint64_t Word(uint8_t sourceAddress, uint32_t pgn) {
    return kArmedFlag | uint64_t{sourceAddress} << kAddressShift | pgn;
}
}  // namespace

AwaitedAnswer::AwaitedAnswer() : armed_(kDisarmed), event_(kResponseEventName, true, false) {}

void AwaitedAnswer::Arm(uint8_t sourceAddress, uint32_t pgn) {
    // The event goes down before the wait is armed, so that only an answer that arrives
    // from now on can raise it.
    event_.Reset();
    armed_.store(Word(sourceAddress, pgn));
}

void AwaitedAnswer::Disarm() { armed_.store(kDisarmed); }

bool AwaitedAnswer::IsArmed() const { return (armed_.load() & kArmedFlag) != 0; }

bool AwaitedAnswer::Release(uint8_t sourceAddress, uint32_t pgn) {
    uint64_t current = armed_.load();
    if ((current & kArmedFlag) == 0 || (current & kPgnBits) != pgn) return false;
    const auto awaitedSa = static_cast<uint8_t>(current >> kAddressShift);
    if (awaitedSa != kGlobalAddress && awaitedSa != sourceAddress) return false;
    // Only the very request this answer matched is released: when another was armed
    // meanwhile, the exchange fails and that request keeps waiting.
    if (!armed_.compare_exchange_strong(current, kDisarmed)) return false;
    event_.Set();
    return true;
}

bool AwaitedAnswer::Wait(uint32_t ms) { return event_.Wait(ms) == platform::WaitResult::Signalled; }

bool AwaitedAnswer::WaitUnless(platform::Event& stop, uint32_t ms) {
    platform::Event* const events[] = {&event_, &stop};
    constexpr int kAnswerIndex = 0;
    return platform::WaitAny(events, 2, ms) == kAnswerIndex;
}

std::vector<uint8_t> BuildJ1939Message(uint32_t pgn, uint8_t destination, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> message;
    message.reserve(j1939::kHeaderSize + data.size());
    j1939::AppendPgn(message, pgn);
    message.push_back(j1939::kRequestPriority);
    message.push_back(kToolAddress);
    message.push_back(destination);
    message.insert(message.end(), data.begin(), data.end());
    return message;
}

std::vector<uint8_t> BuildRequestMessage(uint32_t requestedPgn, uint8_t destination) {
    std::vector<uint8_t> requested;
    j1939::AppendPgn(requested, requestedPgn);
    return BuildJ1939Message(j1939::kPgnRequest, destination, requested);
}

uint16_t MessageSender::RequestPgn(int32_t sendHandle, uint32_t pgn, uint8_t destination, bool expectAnswer,
                                   uint16_t timeoutMs, uint8_t attempts) {
    return SendTimedMessage(sendHandle, BuildRequestMessage(pgn, destination), pgn, expectAnswer, attempts, timeoutMs);
}

uint16_t MessageSender::SendTimedMessage(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t pgn,
                                         bool expectAnswer, uint8_t attempts, uint16_t timeoutMs) {
    if (app_.InPlayback()) return results::kSuccess;
    HostTrace& trace = app_.Trace();
    if (message.size() < j1939::kHeaderSize || message.size() > j1939::kMaxMessageSize) {
        trace.Write(kTraceFailure, results::kMalformedMessage, L"%s", L"CVehicleApp::SendTimedMessage (Line 2761)");
        return results::kMalformedMessage;
    }

    platform::CsLock lock(sendLock_);
    SharedState* shared = app_.Shared();
    const uint8_t destination = message[j1939::kDestinationIndex];
    awaited_.Arm(destination, pgn);
    bool armed = true;

    uint16_t result = results::kSuccess;
    for (uint8_t attempt = 0; attempt < attempts; ++attempt) {
        if (shared == nullptr || shared->ExitEvent().IsSignalled()) {
            result = results::kSuccess;
            break;
        }
        // A failed attempt disarms the wait; the next one must be able to see its answer.
        if (!armed) {
            awaited_.Arm(destination, pgn);
            armed = true;
        }

        auto send = LookUpOrTrace<zorv::SendJ1939MsgFn>(trace, zorv::kLookupSendJ1939Msg,
                                                        L"%s: Zorv_GetFunctionAddress failed at SendJ1939Msg",
                                                        L"CVehicleApp::SaeJ1939MessageSender (Line 2776)");
        result = send == nullptr ? results::kMissingFunctionOrRecord
                                 : send(sendHandle, message.data(), static_cast<uint16_t>(message.size()), kSendOption1,
                                        kSendOption2, kSendOption3);
        if (result != results::kSuccess) {
            awaited_.Disarm();
            armed = false;
            trace.Write(kTraceFailure, result, L"%s", L"CVehicleApp::SendTimedMessage (Line 2761)");
            continue;
        }

        bool answered = false;
        if (destination == kGlobalAddress) {
            // Every ECU may answer a global request, so the whole time-out is given to
            // them. The time is spent on the exit event: unregistration must not wait.
            const bool exiting = shared->PauseOrExit(timeoutMs);
            answered = awaited_.Answered();
            if (!answered && exiting) {
                result = results::kSuccess;
                break;
            }
        } else {
            // An ECU that stays silent keeps its time-out, but not once exit is signalled:
            // the last unregistration waits for this thread.
            answered = awaited_.WaitUnless(shared->ExitEvent(), timeoutMs);
            if (!answered && shared->ExitEvent().IsSignalled()) {
                result = results::kSuccess;
                break;
            }
        }
        if (answered) {
            result = results::kSuccess;
            break;
        }
        if (!expectAnswer && timeoutMs == 0) {
            result = results::kSuccess;
            break;
        }
        result = results::kNoAnswer;
    }
    return result;
}

}  // namespace marl
