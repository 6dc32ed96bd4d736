// The host's J1939 parser behind ParseJ1939Msg: it turns a received message into the
// values and value texts of the module's data points carried in that PGN, and an Address
// Claimed message into an entry of the host's NAME table; the fault codes of DM1 and DM2
// stay with the module.
#pragma once

#include <vector>

#include "hostsim/bus/BusState.h"
#include "hostsim/bus/J1939Message.h"
#include "hostsim/bus/ReceivedFaultTable.h"
#include "hostsim/database/ParameterDatabase.h"

namespace hostsim {

// The number of data points the message gave a value (or a not-available text); their
// TESKIDs are added to `decoded` when it is given.
size_t ParseJ1939(ParameterDatabase& database, BusState& bus, ReceivedFaultTable& faults, ZModuleHandle handle,
                  const J1939Message& message, std::vector<TESKID>* decoded = nullptr);

// A claim the host saw on the bus goes into its NAME table.
void NoteAddressClaim(BusState& bus, const J1939Message& message);

}  // namespace hostsim
