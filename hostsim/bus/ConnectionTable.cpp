#include "hostsim/bus/ConnectionTable.h"

namespace hostsim {

void ConnectionTable::Connect(ZModuleHandle handle, int channel, bool firstOnChannel) {
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.erase(handle);
    members_.erase(handle);
    if (!firstOnChannel) {
        for (const auto& entry : connections_) {
            if (entry.second.channel == channel) {
                members_[handle] = entry.first;
                return;
            }
        }
    }
    // A module that finds no connection on its channel opens one, first or not.
    Connection connection;
    connection.channel = channel;
    connections_[handle] = connection;
}

ConnectionTable::Connection* ConnectionTable::FindLocked(ZModuleHandle handle, ZModuleHandle* owner) {
    auto owned = connections_.find(handle);
    if (owned != connections_.end()) {
        if (owner != nullptr) *owner = handle;
        return &owned->second;
    }
    auto member = members_.find(handle);
    if (member == members_.end()) return nullptr;
    auto joined = connections_.find(member->second);
    if (joined == connections_.end()) return nullptr;
    if (owner != nullptr) *owner = member->second;
    return &joined->second;
}

std::optional<int> ConnectionTable::ChannelOf(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = FindLocked(handle);
    if (connection == nullptr) return std::nullopt;
    return connection->channel;
}

bool ConnectionTable::EnableParsing(ZModuleHandle handle, bool enable) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = FindLocked(handle);
    if (connection == nullptr) return false;
    connection->parsing = enable;
    return true;
}

bool ConnectionTable::AddFilter(ZModuleHandle handle, uint8_t sourceAddress) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = FindLocked(handle);
    if (connection == nullptr) return false;
    connection->filter.insert(sourceAddress);
    return true;
}

bool ConnectionTable::Claim(ZModuleHandle handle, uint8_t address) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = FindLocked(handle);
    if (connection == nullptr) return false;
    connection->claimed = address;
    return true;
}

bool ConnectionTable::Unclaim(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = FindLocked(handle);
    if (connection == nullptr) return false;
    connection->claimed.reset();
    return true;
}

std::optional<uint8_t> ConnectionTable::ClaimedAddress(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    Connection* connection = FindLocked(handle);
    if (connection == nullptr) return std::nullopt;
    return connection->claimed;
}

std::vector<ZModuleHandle> ConnectionTable::Receivers(int channel, uint8_t sourceAddress) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ZModuleHandle> receivers;
    for (const auto& entry : connections_) {
        const Connection& connection = entry.second;
        if (connection.channel != channel || !connection.parsing) continue;
        if (!connection.filter.empty() && connection.filter.count(sourceAddress) == 0) continue;
        receivers.push_back(entry.first);
    }
    return receivers;
}

ConnectionState ConnectionTable::State(ZModuleHandle handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    ConnectionState state;
    ZModuleHandle owner = 0;
    Connection* connection = FindLocked(handle, &owner);
    if (connection == nullptr) return state;
    state.connected = true;
    state.owner = owner;
    state.channel = connection->channel;
    state.parsing = connection->parsing;
    state.filter.assign(connection->filter.begin(), connection->filter.end());
    state.claimedAddress = connection->claimed ? static_cast<int>(*connection->claimed) : -1;
    return state;
}

void ConnectionTable::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.clear();
    members_.clear();
}

}  // namespace hostsim
