// The one stand-in host of the process: its parts, and the step every host function
// starts with (record the call, take the result a test chose).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/BinFiles.h"
#include "hostsim/BusState.h"
#include "hostsim/CallLog.h"
#include "hostsim/FaultDatabase.h"
#include "hostsim/LookupTable.h"
#include "hostsim/ModuleTable.h"
#include "hostsim/ParameterDatabase.h"
#include "hostsim/ResultTable.h"
#include "hostsim/SysClock.h"
#include "hostsim/TraceSink.h"
#include "hostsim/UiScript.h"

namespace hostsim {

struct Host {
    CallLog log;
    ResultTable results;
    LookupTable lookup;
    ModuleTable modules;
    SysClock clock;
    BusState bus;
    BinFiles binFiles;
    ParameterDatabase database;
    FaultDatabase faults;
    UiScript ui;
    TraceSink traces;

    void Reset();
};

Host& TheHost();

// Records a call with its arguments and returns the result a test forced on the
// function, 0 when none (the function then answers from the host's data).
int32_t Enter(const char* function, std::vector<std::string> args);

}  // namespace hostsim
