// The receive path's per-message work. The entry holds the application alive for the
// call; the module record is found by its source address with no lock and kept alive by
// the module table's read guard, so unregistration may remove it meanwhile. The host's
// bytes are read where they are; the PGN table is visited once, under its lock.
#include <array>
#include <cstring>
#include <vector>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/receive/ReceiveFilters.h"
#include "VehicleApp/receive/ReceivePath.h"
#include "VehicleApp/receive/TireLocationCorrection.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// The host's generic parser learns the number of software identification fields from a
// record of its own form: 0x10, the PGN, an address byte and the field count.
constexpr uint8_t kGenericRecordTag = 0x10;
constexpr uint8_t kGenericRecordAddress = 0xFF;
constexpr uint16_t kSoftwareIdRecordLength = 6;

// An acknowledgement: control byte first, the acknowledged PGN in the last three bytes.
constexpr size_t kControlByteIndex = j1939::kHeaderSize;
constexpr size_t kAcknowledgedPgnIndex = j1939::kSingleFrameLength - j1939::kPgnBytes;

static_assert(sizeof(J1939DecodedName) == kDecodedNameSize, "decoded NAME as the module record keeps it");

J1939DecodedName NameOf(const ModuleRecord& module) {
    J1939DecodedName name{};
    const auto bytes = module.DecodedName();
    std::memcpy(&name, bytes.data(), sizeof(name));
    return name;
}

void PassSoftwareIdentificationCount(const ModuleRecord& module, const uint8_t* message, uint32_t timeStamp) {
    const uint8_t record[kSoftwareIdRecordLength] = {
        kGenericRecordTag, message[0], message[1], message[2], kGenericRecordAddress, message[j1939::kHeaderSize],
    };
    Zorv_ParseMsg(module.Handle(), record, kSoftwareIdRecordLength, timeStamp);
}

// Tire messages are single frames; a longer one is corrected in a copy on the heap.
constexpr size_t kTireCopySize = 32;

bool IsTirePgn(uint32_t pgn) { return pgn == j1939::kPgnTireCondition || pgn == j1939::kPgnTireLocation; }

// Whether a message of `pgn` that is not held back goes through the throttle on its way
// to the parser (the cases ParseMessage's switch ends or passes unthrottled are not).
bool ReachesThrottle(uint32_t pgn, bool expectedDm) {
    switch (pgn) {
        case j1939::kPgnDm28:
        case j1939::kPgnDm30:
        case j1939::kPgnDm22:
        case j1939::kPgnAcknowledgement:
            return false;
        case j1939::kPgnDm4:
            return !expectedDm;
        default:
            return !IsTirePgn(pgn);
    }
}

// Acknowledgements to another tool on the bus answer that tool's requests, not ours.
bool AddressedToUs(const uint8_t* message) {
    const uint8_t destination = message[j1939::kDestinationIndex];
    return destination == kToolAddress || destination == kGlobalAddress;
}

}  // namespace

ReceivePath::ReceivePath(CVehicleApp& app) : app_(app), trace_(app.Trace()) {
    for (auto& id : categoryIds_) id = kNoCategory;
}

zorv::ParseJ1939MsgFn ReceivePath::GetParseMessageFunctionPointer() {
    zorv::ParseJ1939MsgFn parser = parseJ1939Msg_.load();
    if (parser == nullptr) {
        parser = LookUpOrTrace<zorv::ParseJ1939MsgFn>(trace_, zorv::kLookupParseJ1939Msg, L"%s ParseJ1939Msg == NULL",
                                                      L"CVehicleApp::GetParseMessageFunctionPointer (Line 24)");
        if (parser != nullptr) parseJ1939Msg_.store(parser);
    }
    return parser;
}

uint16_t ReceivePath::ParseMessage(int32_t sendHandle, const uint8_t* message, uint16_t length, uint32_t timeStamp) {
    // The host's length is a signed 16-bit count; anything that reads as negative is no
    // message.
    const auto signedLength = static_cast<int16_t>(length);
    if (signedLength < static_cast<int16_t>(j1939::kShortestMessage) || message == nullptr || app_.Shared() == nullptr)
        return 0;
    const auto size = static_cast<size_t>(signedLength);

    zorv::ParseJ1939MsgFn parser = GetParseMessageFunctionPointer();
    if (parser == nullptr) return results::kMissingFunctionOrRecord;

    const uint8_t sourceAddress = message[j1939::kSourceIndex];
    const ModuleTable::ReadGuard guard(app_.Modules());
    ModuleRecord* const module = app_.Modules().FindBySourceAddress(guard, sendHandle, sourceAddress);
    if (module == nullptr) return 0;
    const bool nameRequestPending = app_.Registrations().NameRequestPending();
    const bool busy = module->IsBusy();
    const bool complete = module->RegistrationComplete();
    // Before registration completes only discovery and the address-claim query listen.
    if (!complete && !busy && !nameRequestPending) return 0;

    const uint32_t pgn = j1939::ReadPgn(message);
    app_.Subscribed().NoteResponder(pgn, sourceAddress);

    const bool expectedDm = expectedDmSa_.load() == sourceAddress;
    // While faults are cleared their messages are held back; on the adapters that defer
    // discovery, the host's own application (module 5, when it is there) handles the
    // engines' faults. Only fault messages need the adapter looked at.
    bool heldBack = false;
    if (IsSuppressedDiagnosticPgn(pgn)) {
        const bool hostHandlesEngineFaults = sourceAddress <= j1939::kLastEngineAddress &&
                                             app_.Subscribed().Module5Present() &&
                                             app_.Registrations().IsDeferredDiscoveryAdapter();
        heldBack = clearingInProgress_.load() || hostHandlesEngineFaults;
    }
    // The per-PGN throttle holds back only what would otherwise go to the parser below:
    // DM28 and tire messages always pass, and playback brings each message once.
    const bool throttled =
        complete && !app_.InPlayback() && !heldBack && !nameRequestPending && ReachesThrottle(pgn, expectedDm);
    // While discovery runs, a message with at least one available value shows that the
    // ECU supports the PGN; acknowledgements speak for the acknowledged PGN instead.
    const bool supported = busy && pgn != j1939::kPgnAcknowledgement && HasAvailableData(message, signedLength);
    const bool passes =
        module->pgnMap.noteReceived(pgn, sourceAddress, supported, throttled, timeStamp, kResponseWindow);

    // A freeze frame the fault list waits for is stored before its waiter is woken.
    if (pgn == j1939::kPgnDm4 && expectedDm)
        freezeFrame_.Store(std::vector<uint8_t>(message, message + size), timeStamp);

    app_.Sender().Awaited().Release(sourceAddress, pgn);
    if (heldBack) return 0;

    const int32_t handle = module->Handle();
    // What reaches the host's parser also goes to a running recording, as it came off the
    // bus: playback hands it to this path again.
    const auto parse = [&](const uint8_t* bytes) {
        app_.Recorder().RecordMessage(*module, pgn, message, length, timeStamp);
        return parser(handle, bytes, length, timeStamp);
    };
    switch (pgn) {
        case j1939::kPgnDm28:
            return parse(message);
        case j1939::kPgnDm30:
            // A DM30 answers the DM7 test command of a guided test.
            if (expectedDm) app_.Sender().Awaited().Release(sourceAddress, j1939::kPgnDm7);
            return 0;
        case j1939::kPgnDm22:
            return 0;
        case j1939::kPgnAcknowledgement:
            HandleAcknowledgement(*module, message, size);
            return 0;
        case j1939::kPgnDm4:
            if (expectedDm) return 0;
            break;
        case j1939::kPgnSoftwareIdentification:
            if (size > j1939::kHeaderSize) PassSoftwareIdentificationCount(*module, message, timeStamp);
            break;
        default:
            break;
    }

    if (nameRequestPending) {
        return pgn == j1939::kPgnAddressClaimed ? parse(message) : 0;
    }
    if (IsTirePgn(pgn)) {
        // The host's bytes are not ours to change: the correction goes into a copy, on the
        // stack for the single-frame tire messages.
        std::array<uint8_t, kTireCopySize> local;
        std::vector<uint8_t> large;
        uint8_t* corrected = local.data();
        if (size <= local.size()) {
            std::memcpy(corrected, message, size);
        } else {
            large.assign(message, message + size);
            corrected = large.data();
        }
        CorrectTireLocation(NameOf(*module), corrected, size);
        return parse(corrected);
    }
    if (!passes) return 0;
    return parse(message);
}

void ReceivePath::HandleAcknowledgement(ModuleRecord& module, const uint8_t* message, size_t length) {
    if (length < j1939::kSingleFrameLength || !AddressedToUs(message)) return;
    const uint8_t control = message[kControlByteIndex];
    // "Cannot respond": the ECU will answer later, so the request keeps waiting.
    if (control == j1939::kAckCannotRespond) return;
    const uint32_t ackedPgn = j1939::ReadPgn(&message[kAcknowledgedPgnIndex]);
    const bool positive = control == j1939::kAckPositive;

    if (positive && (ackedPgn == j1939::kPgnDm3 || ackedPgn == j1939::kPgnDm11)) {
        if (SharedState* shared = app_.Shared()) shared->SetWait(true);
    }
    module.pgnMap.recordResponse(j1939::kPgnAcknowledgement, true);
    module.pgnMap.recordResponse(ackedPgn, !positive);
    app_.Sender().Awaited().Release(module.EcuAddress(), ackedPgn);
}

}  // namespace marl
