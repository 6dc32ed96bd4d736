#include "hostsim/Host.h"

#include <utility>

namespace hostsim {

void Host::Reset() {
    log.Clear();
    results.Reset();
    lookup.Reset();
    modules.Reset();
    clock.UseReal();
    bus.Reset();
    binFiles.Reset();
    database.Reset();
    faults.Reset();
    ui.Reset();
    traces.Reset();
}

Host& TheHost() {
    // Never destroyed: plug-in threads may still call the host while the process exits.
    static Host* host = [] {
        auto* created = new Host;
        created->Reset();
        return created;
    }();
    return *host;
}

int32_t Enter(const char* function, std::vector<std::string> args) {
    Host& host = TheHost();
    host.log.Record(Call{function, std::move(args)});
    return host.results.Take(function);
}

}  // namespace hostsim
