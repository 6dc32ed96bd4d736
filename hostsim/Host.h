// The one stand-in host of the process: its parts, and the step every host function
// starts with (record the call, take the result a test chose).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostsim/database/AppConfig.h"
#include "hostsim/database/BinFiles.h"
#include "hostsim/bus/BusReplay.h"
#include "hostsim/bus/BusState.h"
#include "hostsim/bus/BusWatchers.h"
#include "hostsim/control/CallLog.h"
#include "hostsim/bus/ConnectionTable.h"
#include "hostsim/database/DataFolder.h"
#include "hostsim/database/FaultDatabase.h"
#include "hostsim/database/FreezeFrames.h"
#include "hostsim/control/RecordedList.h"
#include "hostsim/control/Recorder.h"
#include "hostsim/imports/J1708App.h"
#include "hostsim/imports/LookupTable.h"
#include "hostsim/database/ModuleDatabases.h"
#include "hostsim/database/ModuleTable.h"
#include "hostsim/database/ParameterDatabase.h"
#include "hostsim/bus/ReceiveThread.h"
#include "hostsim/bus/ReceivedFaultTable.h"
#include "hostsim/control/DecodedValues.h"
#include "hostsim/control/HostileHost.h"
#include "hostsim/control/ResultTable.h"
#include "hostsim/bus/SimulatedNetwork.h"
#include "hostsim/control/SysClock.h"
#include "hostsim/control/TraceSink.h"
#include "hostsim/control/UiScript.h"

namespace hostsim {

struct Host {
    CallLog log;
    ResultTable results;
    HostileHost hostile;
    LookupTable lookup;
    ModuleTable modules;
    SysClock clock;
    BusState bus;
    BinFiles binFiles;
    ParameterDatabase database;  // described by hand through the control API
    ModuleDatabases moduleDatabases{database};
    DataFolder dataFolder;
    FaultDatabase faults;
    ReceivedFaultTable receivedFaults;  // what the J1939 parser kept of DM1 and DM2
    FreezeFrameTable freezeFrames;      // what the generic parser kept of DM4
    RecordedList<FaultInfoWindow> faultWindows;
    RecordedList<UiScreen> uiScreens;
    J1708App j1708;
    Recorder recorder;
    UiScript ui;
    TraceSink traces;
    ConnectionTable connections;
    BusWatchers watchers;
    SentMessageRecord sent;
    ReceiveThread receiver{connections, clock};
    SimulatedNetwork network;
    BusReplay replay;
    AppConfig appConfig;
    DecodedValues decodedValues;

    Host();
    void Reset();
    // The fault-code database, its file read from the data folder when first needed.
    FaultDatabase& FaultCodes();
    // The table of the parameter database that answers for a module.
    std::shared_ptr<ParameterDatabase> DatabaseFor(ZModuleHandle handle);
    // A message the bus brought to the host: claims go into the NAME table, and the
    // receive thread hands the message to the plug-in.
    void Receive(int channel, const J1939Message& message);
};

Host& TheHost();

// Drops the recorder of StartTrafficCapture (control API), part of a reset.
void ForgetTrafficCapture();

// Records a call with its arguments and returns the result a test forced on the
// function, 0 when none (the function then answers from the host's data).
int32_t Enter(const char* function, std::vector<std::string> args);

}  // namespace hostsim
