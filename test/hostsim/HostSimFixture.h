// Common ground of the stand-in host's tests: a fresh host per test, typed look-ups and
// the few messages and readings most tests need.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"
#include "hostsim/HostSim.h"
#include "hostsim/bus/J1939Message.h"

class HostSimTest : public ::testing::Test {
protected:
    void SetUp() override { hostsim::Reset(); }
    void TearDown() override { hostsim::Reset(); }

    template <typename Fn>
    static Fn Lookup(int32_t number, int32_t moduleId = zorv::kModuleIdHost) {
        return reinterpret_cast<Fn>(Zorv_GetFunctionAddress(number, moduleId));
    }
};

// The tool's J1939 Request for a PGN.
inline hostsim::J1939Message RequestMessage(uint32_t pgn, uint8_t destination) {
    hostsim::J1939Message request;
    request.pgn = j1939::kPgnRequest;
    request.source = j1939::kToolAddress;
    request.destination = destination;
    j1939::AppendPgn(request.data, pgn);
    return request;
}

inline std::vector<uint8_t> Request(uint32_t pgn, uint8_t destination) {
    return hostsim::ToHostLayout(RequestMessage(pgn, destination));
}

// The value text the host shows for a module's data point.
inline std::wstring ValueText(ZModuleHandle handle, const char* name) {
    TESKID teskId = 0;
    if (Zorv_GetDPIDbyName(handle, name, &teskId) != 0) return L"(no such data point)";
    wchar_t text[255] = {};
    uint32_t length = 255;
    Zorv_GetDataPointValueStr(handle, teskId, 0, 2, text, 255, &length);
    return text;
}
