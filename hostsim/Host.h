// The one stand-in host of the process: its parts, and the step every host function
// starts with (record the call, take the result a test chose).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/AppConfig.h"
#include "hostsim/BinFiles.h"
#include "hostsim/BusLog.h"
#include "hostsim/BusReplay.h"
#include "hostsim/BusState.h"
#include "hostsim/CallLog.h"
#include "hostsim/ConnectionTable.h"
#include "hostsim/DataFolder.h"
#include "hostsim/FaultDatabase.h"
#include "hostsim/LookupTable.h"
#include "hostsim/ModuleDatabases.h"
#include "hostsim/ModuleTable.h"
#include "hostsim/ParameterDatabase.h"
#include "hostsim/ReceiveThread.h"
#include "hostsim/ResultTable.h"
#include "hostsim/SimulatedNetwork.h"
#include "hostsim/SysClock.h"
#include "hostsim/TraceSink.h"
#include "hostsim/TrafficCapture.h"
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
    ParameterDatabase database;  // described by hand through the control API
    ModuleDatabases moduleDatabases{database};
    DataFolder dataFolder;
    FaultDatabase faults;
    UiScript ui;
    TraceSink traces;
    ConnectionTable connections;
    BusLog busLog;
    TrafficCapture traffic;
    ReceiveThread receiver{connections, clock};
    SimulatedNetwork network;
    BusReplay replay;
    AppConfig appConfig;

    Host();
    void Reset();
    // The table of the parameter database that answers for a module.
    std::shared_ptr<ParameterDatabase> DatabaseFor(ZModuleHandle handle);
    // A message the bus brought to the host: claims go into the NAME table, and the
    // receive thread hands the message to the plug-in.
    void Receive(int channel, const J1939Message& message);
};

Host& TheHost();

// Records a call with its arguments and returns the result a test forced on the
// function, 0 when none (the function then answers from the host's data).
int32_t Enter(const char* function, std::vector<std::string> args);

}  // namespace hostsim
