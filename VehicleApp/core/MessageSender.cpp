// Every message the plug-in puts on the bus goes through here. One exchange at a time:
// the awaited source address and PGN are armed for the receive path, which disarms them
// and raises the response event when the answer (or its acknowledgement) arrives.
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
// What a failed attempt leaves in the awaited PGN.
constexpr int32_t kDisarmedPgn = 0;
}  // namespace

uint16_t CVehicleApp::SendTimedMessage(int32_t sendHandle, const std::vector<uint8_t>& message, uint32_t pgn,
                                       bool expectAnswer, uint8_t attempts, uint16_t timeoutMs) {
    if (playbackStatus.load() != 0) return results::kSuccess;
    if (message.size() < j1939::kHeaderSize || message.size() > j1939::kMaxMessageSize) {
        trace_.Write(kTraceFailure, results::kMalformedMessage, L"%s", L"CVehicleApp::SendTimedMessage (Line 2761)");
        return results::kMalformedMessage;
    }

    platform::CsLock lock(sendLock_);
    const uint8_t destination = message[j1939::kDestinationIndex];
    // The event goes down before the wait is armed, so that only an answer that arrives
    // from now on can raise it.
    auto arm = [&] {
        responseEvent_.Reset();
        awaitedResponseSa = destination;
        awaitedPgn = static_cast<int32_t>(pgn);
    };
    arm();
    bool armed = true;

    uint16_t result = results::kSuccess;
    for (uint8_t attempt = 0; attempt < attempts; ++attempt) {
        if (shared_ == nullptr || shared_->ExitEvent().IsSignalled()) {
            result = results::kSuccess;
            break;
        }
        // A failed attempt disarms the wait; the next one must be able to see its answer.
        if (!armed) {
            arm();
            armed = true;
        }

        auto send = LookUpHostFunction<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
        if (send == nullptr) {
            trace_.Write(kTraceFailure, 0, L"%s: Zorv_GetFunctionAddress failed at SendJ1939Msg",
                         L"CVehicleApp::SaeJ1939MessageSender (Line 2776)");
            result = results::kMissingFunctionOrRecord;
        } else {
            result = send(sendHandle, message.data(), static_cast<uint16_t>(message.size()), kSendOption1,
                          kSendOption2, kSendOption3);
        }
        if (result != results::kSuccess) {
            awaitedResponseSa = kNullAddress;
            awaitedPgn = kDisarmedPgn;
            armed = false;
            trace_.Write(kTraceFailure, result, L"%s", L"CVehicleApp::SendTimedMessage (Line 2761)");
            continue;
        }

        bool answered = false;
        if (destination == kGlobalAddress) {
            // Every ECU may answer a global request, so the whole time-out is given to
            // them. The time is spent on the exit event: unregistration must not wait.
            const bool exiting = shared_->PauseOrExit(timeoutMs);
            answered = responseEvent_.IsSignalled();
            if (!answered && exiting) {
                result = results::kSuccess;
                break;
            }
        } else {
            answered = responseEvent_.Wait(timeoutMs) == platform::WaitResult::Signalled;
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
