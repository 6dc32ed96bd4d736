#include "VehicleApp/guidedtest/GuidedTest.h"

#include <array>

#include "VehicleApp/CVehicleApp.h"
#include "VehicleApp/core/ResultCodes.h"
#include "VehicleApp/core/SharedState.h"
#include "VehicleApp/guidedtest/DpfTestMessages.h"
#include "VehicleApp/guidedtest/TestScreenLock.h"
#include "VehicleApp/text/WideText.h"
#include "host/ZorvApi.h"

namespace marl {
namespace {
// The platform raises it to the smallest stack the operating system allows.
constexpr uint32_t kGuidedTestStackSize = 1024;
// The data points the test screen shows are those of the parameter file's category 1.
constexpr uint16_t kCategoryVehicleIndex = 0;
constexpr ZCategoryId kTestScreenCategory = 1;
constexpr uint16_t kMaxTestScreenDataPoints = 256;
constexpr int16_t kNoCategoryIndex = -1;
constexpr ZBool32 kOutboundOff = 0;
constexpr ZBool32 kOutboundOn = 1;
constexpr int32_t kNoOptions = 0;
}  // namespace

GuidedTest::GuidedTest(CVehicleApp& app, uint32_t screenMutexWaitMs)
    : app_(app),
      screenMutexWaitMs_(screenMutexWaitMs),
      abortTestEvent_(kAbortTestEventName, true, false),
      exitTestEvent_(kExitTestEventName, true, true),
      testScreenMutex_(kTestScreenMutexName, false) {}

bool GuidedTest::Valid() const { return abortTestEvent_.Valid() && exitTestEvent_.Valid() && testScreenMutex_.Valid(); }

uint16_t GuidedTest::StartGuidedTest(int32_t moduleHandle, uint32_t teskId) {
    GuidedTestContext context;
    context.moduleHandle = moduleHandle;
    context.teskId = teskId;
    abortTestEvent_.Reset();
    exitTestEvent_.Reset();
    threads_.Start(
        context,
        [this, context](const std::atomic<bool>& stop) { RunGuidedTest(context.moduleHandle, context.teskId, stop); },
        kGuidedTestStackSize);
    return results::kSuccess;
}

uint16_t GuidedTest::RunGuidedTest(int32_t moduleHandle, uint32_t teskId, const std::atomic<bool>& stop) {
    // The host's own requests would mix with the test's on the module's connection.
    Zorv_OutboundEnable(moduleHandle, kOutboundOff);
    sDpAttribute attribute{};
    Zorv_GetDPAttributes(moduleHandle, teskId, &attribute);
    if (attribute.kind == kDpKindDpfRegenerationTest) RunDpfActiveRegenerationTest(moduleHandle, stop);
    ShowScreen(moduleHandle, CloseScreenText(), L"", kScreenAwait);
    exitTestEvent_.Set();
    Zorv_OutboundEnable(moduleHandle, kOutboundOn);
    return results::kSuccess;
}

void GuidedTest::RunDpfActiveRegenerationTest(int32_t moduleHandle, const std::atomic<bool>& stop) {
    ShowScreen(moduleHandle, OpenScreenText(), L"", kScreenShow);
    if (ShowScreen(moduleHandle, FirstPromptText(), L"", kScreenAwait) == kUiReplyCancelled || Stopping(stop)) return;

    const std::wstring testScreen =
        TestScreenText(LoadResource(moduleHandle, kDpfTestSpnResource), CategoryOneDataPoints(moduleHandle));
    // Given back when the test ends, whichever way it does.
    TestScreenLock screenLock(testScreenMutex_, screenMutexWaitMs_, [this, &stop] { return Stopping(stop); });
    if (!screenLock.Owned()) return;
    if (ShowScreen(moduleHandle, testScreen, kDpfTestTitle, kScreenShow) == kUiReplyCancelled || Stopping(stop)) return;

    // Without its record the module's ECU cannot be addressed.
    ModuleRecordPtr module = app_.Modules().FindModule(moduleHandle);
    if (!module) return;
    app_.Receiver().ExpectDiagnosticAnswersFrom(module->ComponentSa());

    std::wstring buttonText = LoadResource(moduleHandle, kStartButtonResource);
    const std::vector<uint8_t> command = DpfRegenerationCommand();
    while (ShowScreen(moduleHandle, StartScreenText(buttonText), L"", kScreenAwait) != kUiReplyCancelled &&
           !Stopping(stop)) {
        // An unanswered command has been traced; the user may start the test again.
        RequestJ1939Dm(j1939::kPgnDm7, *module, command, false, kDm7TimeoutMs);
        buttonText = kTestCompletedButtonText;
    }
}

uint16_t GuidedTest::RequestJ1939Dm(uint32_t pgn, const ModuleRecord& module, const std::vector<uint8_t>& data,
                                    bool expectAnswer, uint16_t timeoutMs) {
    const uint8_t address = module.ComponentSa();
    app_.Receiver().ExpectDiagnosticAnswersFrom(address);
    const uint16_t result = app_.Sender().SendTimedMessage(module.SendHandle(), BuildJ1939Message(pgn, address, data),
                                                           pgn, expectAnswer, kDm7Attempts, timeoutMs);
    if (result != results::kSuccess)
        app_.Trace().Write(kTraceFailure, result, L"%s", L"CVehicleApp::RequestJ1939Dm (Line 270)");
    return result;
}

uint8_t GuidedTest::ShowScreen(int32_t moduleHandle, const std::wstring& text, const wchar_t* title, int32_t mode) {
    std::array<wchar_t, kScreenTextCapacity> message{};
    text::CopyToBuffer(text, message.data(), message.size());
    std::array<wchar_t, kUiReplyCapacity> reply{};
    Zorv_UIMsgDataInput(app_.UiHandle(), moduleHandle, title, message.data(), kNoOptions, nullptr, nullptr,
                        reply.data(), kNoOptions, mode);
    return ReplyCode(reply.data(), reply.size());
}

std::wstring GuidedTest::LoadResource(int32_t moduleHandle, const wchar_t* name) {
    std::array<wchar_t, kScreenTextCapacity> text{};
    Zorv_LoadResourceStringByName(moduleHandle, name, kResourceStringType, text.data(),
                                  static_cast<uint16_t>(text.size()));
    return text::FromBuffer(text.data(), text.size());
}

std::vector<uint32_t> GuidedTest::CategoryOneDataPoints(int32_t moduleHandle) {
    std::array<TESKID, kMaxTestScreenDataPoints> teskIds{};
    uint16_t count = kMaxTestScreenDataPoints;
    int16_t categoryIndex = kNoCategoryIndex;
    if (Zorv_GetCategoryDPs(moduleHandle, kCategoryVehicleIndex, kTestScreenCategory, teskIds.data(), &count,
                            &categoryIndex) != kZorvSuccess)
        return {};
    // A host that reports more than the list holds is not believed.
    if (count > kMaxTestScreenDataPoints) count = kMaxTestScreenDataPoints;
    return std::vector<uint32_t>(teskIds.begin(), teskIds.begin() + count);
}

bool GuidedTest::Stopping(const std::atomic<bool>& stop) const {
    return stop.load() || PauseStops(app_.Shared(), kExitCheckMs);
}

}  // namespace marl
