// The 16-bit results the plug-in's workers give the host; 0 is success and the host's
// own non-zero results are passed on unchanged.
#pragma once

#include <cstdint>

namespace marl::results {

constexpr uint16_t kSuccess = 0;
// Also what several entries answer when no application object exists.
constexpr uint16_t kConnectOrFileFailure = 1;
constexpr uint16_t kNoApp = 1;
constexpr uint16_t kWrongModuleId = 2;
constexpr uint16_t kNullModule = 3;
// A message handed to the sender that has no complete J1939 header, or is longer than
// the host can take: nothing is sent.
constexpr uint16_t kMalformedMessage = 4;
constexpr uint16_t kInvalidHandle = 5;
constexpr uint16_t kNoAnswer = 10;
constexpr uint16_t kMissingFunctionOrRecord = 20;
constexpr uint16_t kAppNotCreated = 43;
// Subscriptions: no data-point list, no module with the handle, no shared state.
constexpr uint16_t kNoTeskIdList = 6;
constexpr uint16_t kNoModule = 7;
constexpr uint16_t kNoSharedState = 8;
// Recording files: the module is not registered, or the file cannot be opened or
// written; and a recording that cannot be played back (the global address, or no record
// could be built for it).
constexpr uint16_t kRecordingFileFailure = 1;
constexpr uint16_t kRecordingRefused = 20;
// The health report: no module with the handle.
constexpr uint16_t kReportNoModule = 73;
// An entry met an exception; the host has no result of its own for it.
constexpr uint16_t kInternalFailure = 0xFFFE;
constexpr uint16_t kNotConnected = 0xFFFF;

}  // namespace marl::results
