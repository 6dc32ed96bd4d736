// The host's bus connections. The first module registered on a channel opens the
// connection (Zorv_Connect with first-on-channel set) and owns it: its handle is the one
// the plug-in sends with and receives with. Later modules on the channel join that
// connection. Each connection has its own parsing switch, source-address filter and the
// tool address claimed on it.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "host/ZorvTypes.h"
#include "hostsim/HostSimTypes.h"

namespace hostsim {

class ConnectionTable {
public:
    void Connect(ZModuleHandle handle, int channel, bool firstOnChannel);
    std::optional<int> ChannelOf(ZModuleHandle handle);
    // False when the handle has no connection.
    bool EnableParsing(ZModuleHandle handle, bool enable);
    bool AddFilter(ZModuleHandle handle, uint8_t sourceAddress);
    bool Claim(ZModuleHandle handle, uint8_t address);
    bool Unclaim(ZModuleHandle handle);
    std::optional<uint8_t> ClaimedAddress(ZModuleHandle handle);
    // Owners of the connections on a channel that parse and let the source address through.
    std::vector<ZModuleHandle> Receivers(int channel, uint8_t sourceAddress);
    ConnectionState State(ZModuleHandle handle);
    void Reset();

private:
    struct Connection {
        int channel = 0;
        bool parsing = false;
        std::set<uint8_t> filter;  // empty: every source address passes
        std::optional<uint8_t> claimed;
    };

    // The connection a handle owns or has joined.
    Connection* FindLocked(ZModuleHandle handle, ZModuleHandle* owner = nullptr);

    std::mutex mutex_;
    std::map<ZModuleHandle, Connection> connections_;  // by owner
    std::map<ZModuleHandle, ZModuleHandle> members_;    // joined handle -> owner
};

}  // namespace hostsim
