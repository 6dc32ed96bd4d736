// The receive path. The host calls it on its receive thread for every J1939 message of
// the plug-in's connections: it notes who answered what, releases the request waiting
// for the message, keeps freeze frames and acknowledgements for the fault workers, and
// hands the rest to the host's J1939 parser, throttled per PGN.
//
// The entry holds the application alive for the call; the module record is found under
// the module lock and held by its shared pointer, so unregistration may remove it
// meanwhile.
#include <cstring>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/HostLookup.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/receive/AcknowledgementHandling.h"
#include "VehicleApp/receive/AwaitedAnswer.h"
#include "VehicleApp/core/J1939Constants.h"
#include "VehicleApp/receive/ReceiveFilters.h"
#include "VehicleApp/receive/TireLocationCorrection.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {

// The host's generic parser learns the number of software identification fields from a
// record of its own form: 0x10, the PGN, an address byte and the field count.
constexpr uint8_t kGenericRecordTag = 0x10;
constexpr uint8_t kGenericRecordAddress = 0xFF;
constexpr uint16_t kSoftwareIdRecordLength = 6;

J1939DecodedName NameOf(const ModuleRecord& module) {
    J1939DecodedName name{};
    std::memcpy(&name, module.DecodedName().data(), sizeof(name));
    return name;
}

void PassSoftwareIdentificationCount(const ModuleRecord& module, const std::vector<uint8_t>& message,
                                     uint32_t timeStamp) {
    const uint8_t record[kSoftwareIdRecordLength] = {
        kGenericRecordTag, message[0], message[1], message[2], kGenericRecordAddress, message[j1939::kHeaderSize],
    };
    Zorv_ParseMsg(module.Handle(), record, kSoftwareIdRecordLength, timeStamp);
}

}  // namespace

static_assert(sizeof(J1939DecodedName) == kDecodedNameSize, "decoded NAME as the module record keeps it");

ModuleRecordPtr CVehicleApp::FindModuleBySourceAddress(int32_t sendHandle, uint8_t sourceAddress) {
    if (moduleList_ == nullptr) return nullptr;
    platform::CsLock lock(moduleLock_);
    for (ModuleRecordPtr rec = moduleList_->Next(nullptr); rec; rec = moduleList_->Next(rec.get())) {
        if (rec->EcuAddress() == sourceAddress && rec->SendHandle() == sendHandle) return rec;
    }
    return nullptr;
}

zorv::ParseJ1939MsgFn CVehicleApp::GetParseMessageFunctionPointer() {
    zorv::ParseJ1939MsgFn parser = parseJ1939Msg.load();
    if (parser == nullptr) {
        parser = LookUpHostFunction<zorv::ParseJ1939MsgFn>(zorv::kLookupParseJ1939Msg);
        if (parser != nullptr) parseJ1939Msg.store(parser);
    }
    return parser;
}

uint16_t CVehicleApp::ParseMessage(int32_t sendHandle, const uint8_t* message, uint16_t length, uint32_t timeStamp) {
    // The host's length is a signed 16-bit count; anything that reads as negative is no
    // message.
    const auto signedLength = static_cast<int16_t>(length);
    if (signedLength < static_cast<int16_t>(j1939::kShortestMessage) || message == nullptr || shared_ == nullptr) return 0;

    zorv::ParseJ1939MsgFn parser = GetParseMessageFunctionPointer();
    if (parser == nullptr) {
        trace_.Write(kTraceFailure, 0, L"%s ParseJ1939Msg == NULL",
                     L"CVehicleApp::GetParseMessageFunctionPointer (Line 24)");
        return results::kMissingFunctionOrRecord;
    }

    const uint8_t sourceAddress = message[j1939::kSourceIndex];
    ModuleRecordPtr module = FindModuleBySourceAddress(sendHandle, sourceAddress);
    if (!module) return 0;
    // Before registration completes only discovery and the address-claim query listen.
    if (!module->registrationComplete.load() && !module->IsBusy() && !nameRequestPending.load()) return 0;

    const std::vector<uint8_t> copy(message, message + signedLength);
    const uint32_t pgn = j1939::ReadPgn(message);
    {
        platform::CsLock lock(shared_->SubscriptionLock());
        shared_->Subscriptions().NoteResponder(pgn, sourceAddress);
        module->pgnMap.recordProbe(pgn, sourceAddress);
    }

    // Raw messages are not recorded here: no configuration names PGNs to record, so the
    // step would never record anything.

    // While discovery runs, a message with at least one available value shows that the
    // ECU supports the PGN; acknowledgements speak for the acknowledged PGN instead.
    if (module->IsBusy() && pgn != j1939::kPgnAcknowledgement && HasAvailableData(message, signedLength))
        module->pgnMap.recordResponse(pgn, false);

    // A freeze frame the fault list waits for is stored before its waiter is woken.
    const bool expectedDm = expectedDmSa.load() == sourceAddress;
    if (pgn == j1939::kPgnDm4 && expectedDm) freezeFrame.Store(copy, timeStamp);

    ReleaseAwaitedRequest(*this, sourceAddress, pgn);

    // On the adapters that defer discovery, the host's own application (module 5, when it
    // is there) handles the engines' faults.
    const bool hostHandlesEngineFaults =
        IsDeferredDiscoveryAdapter() && module5Present.load() && sourceAddress <= j1939::kLastEngineAddress;
    if ((clearingInProgress.load() || hostHandlesEngineFaults) && IsSuppressedDiagnosticPgn(pgn)) return 0;

    const int32_t handle = module->Handle();
    switch (pgn) {
        case j1939::kPgnDm28:
            return parser(handle, message, length, timeStamp);
        case j1939::kPgnDm30:
            // A DM30 answers the DM7 test command of a guided test.
            if (expectedDm) ReleaseAwaitedRequest(*this, sourceAddress, j1939::kPgnDm7);
            return 0;
        case j1939::kPgnDm22:
            return 0;
        case j1939::kPgnAcknowledgement:
            HandleAcknowledgement(*this, *module, copy);
            return 0;
        case j1939::kPgnDm4:
            if (expectedDm) return 0;
            break;
        case j1939::kPgnSoftwareIdentification:
            if (copy.size() > j1939::kHeaderSize) PassSoftwareIdentificationCount(*module, copy, timeStamp);
            break;
        default:
            break;
    }

    parser = parseJ1939Msg.load();
    if (parser == nullptr) return 0;
    if (nameRequestPending.load()) {
        return pgn == j1939::kPgnAddressClaimed ? parser(handle, message, length, timeStamp) : 0;
    }
    if (pgn == j1939::kPgnTireCondition || pgn == j1939::kPgnTireLocation) {
        std::vector<uint8_t> corrected = copy;
        CorrectTireLocation(NameOf(*module), corrected);
        return parser(handle, corrected.data(), length, timeStamp);
    }
    if (module->registrationComplete.load() && playbackStatus.load() == 0) {
        if (!module->pgnMap.passThrottle(pgn, timeStamp, responseWindow.load())) return 0;
    }
    return parser(handle, message, length, timeStamp);
}

}  // namespace marl
