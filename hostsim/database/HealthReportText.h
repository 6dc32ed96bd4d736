// The text of the host's vehicle health report for one ECU: its vehicle information and
// health data, as the parameter database holds them at the moment of the report.
#pragma once

#include <cstdint>
#include <string>

#include "hostsim/database/ParameterDatabase.h"

namespace hostsim {

// Empty when the database has neither of the report's categories.
std::wstring BuildHealthReport(ParameterDatabase& database, uint8_t address);

}  // namespace hostsim
