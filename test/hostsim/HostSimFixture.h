// Common ground of the stand-in host's tests: a fresh host per test and typed look-ups.
#pragma once

#include <gtest/gtest.h>

#include "host/ZorvApi.h"
#include "host/ZorvLookup.h"
#include "hostsim/HostSim.h"

class HostSimTest : public ::testing::Test {
protected:
    void SetUp() override { hostsim::Reset(); }
    void TearDown() override { hostsim::Reset(); }

    template <typename Fn>
    static Fn Lookup(int32_t number, int32_t moduleId = zorv::kModuleIdHost) {
        return reinterpret_cast<Fn>(Zorv_GetFunctionAddress(number, moduleId));
    }
};
