// What a capture replay learned, per ECU: as text for a person, or as one JSON document.
#pragma once

#include <cstdio>
#include <string>

#include "tools/CaptureReplay.h"

namespace marl::tools {

void PrintReplayReport(const ReplayOptions& options, const ReplayResult& result, FILE* out);
std::string ReplayReportJson(const ReplayOptions& options, const ReplayResult& result);

}  // namespace marl::tools
