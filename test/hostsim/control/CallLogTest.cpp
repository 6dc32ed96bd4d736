// The call log: every call with readable arguments, in order, from any thread; and
// the results a test forces on host functions.
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "test/hostsim/HostSimFixture.h"

using hostsim::Call;
using hostsim::CallsTo;

TEST_F(HostSimTest, CallsKeepTheirArgumentsAsText) {
    Zorv_Connect(3, L"J1939:Baud=Auto,Channel=1", 7, nullptr, 1);
    TESKID teskId = 0;
    Zorv_GetDPIDbyName(3, "SPN_234_\xA7", &teskId);
    Zorv_GetDPIDbyName(3, "x", nullptr);
    ASSERT_NE(Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg), nullptr);

    auto calls = hostsim::Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].function, "Zorv_Connect");
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"3", "\"J1939:Baud=Auto,Channel=1\"", "7", "null", "1"}));
    EXPECT_EQ(calls[1].Arg(1), "\"SPN_234_\xC2\xA7\"") << "8-bit text in the ANSI code page";
    EXPECT_EQ(calls[1].Arg(2), "out");
    EXPECT_EQ(calls[2].Arg(2), "null");
    EXPECT_EQ(calls[2].Arg(9), "");
    EXPECT_EQ(calls[3].function, hostsim::names::kGetFunctionAddress);
    EXPECT_EQ(calls[3].args, (std::vector<std::string>{"0x21FC", "-1"}));
}

TEST_F(HostSimTest, CallsFromTwoThreadsAreAllKeptInEachThreadsOrder) {
    constexpr int kCallsPerThread = 2000;
    auto trace = Lookup<zorv::TraceOutputFn>(zorv::kLookupTraceOutput);
    ASSERT_NE(trace, nullptr);
    auto worker = [trace](ZModuleHandle handle) {
        for (int i = 0; i < kCallsPerThread; ++i) {
            Zorv_EnableParsing(handle, i);
            trace(static_cast<ZTraceId>(handle), 7, 0, L"%d:%s", i, L"step");
        }
    };
    std::thread first(worker, 1);
    std::thread second(worker, 2);
    first.join();
    second.join();

    EXPECT_EQ(hostsim::CallCount("Zorv_EnableParsing"), 2u * kCallsPerThread);
    int next[3] = {0, 0, 0};
    for (const Call& call : CallsTo("Zorv_EnableParsing")) {
        int handle = std::stoi(call.Arg(0));
        ASSERT_TRUE(handle == 1 || handle == 2);
        ASSERT_EQ(std::stoi(call.Arg(1)), next[handle]) << "thread " << handle;
        ++next[handle];
    }
    int traced[3] = {0, 0, 0};
    for (const auto& line : hostsim::Traces()) ASSERT_EQ(line.text, std::to_string(traced[line.traceId]++) + ":step");
    EXPECT_EQ(traced[1] + traced[2], 2 * kCallsPerThread);
}

TEST_F(HostSimTest, ForcedResultsFailWithoutWritingOutValues) {
    ZModuleId id = -5;
    hostsim::SetResult("Zorv_GetModuleIDFromHandle", 9);
    EXPECT_EQ(Zorv_GetModuleIDFromHandle(4, &id), 9);
    EXPECT_EQ(Zorv_GetModuleIDFromHandle(4, &id), 9) << "a set result lasts";
    EXPECT_EQ(id, -5);

    hostsim::SetResult("Zorv_Connect", 30);
    hostsim::QueueResults("Zorv_Connect", {0, 7});
    for (ZResult expected : {0, 7, 30}) {
        EXPECT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), expected) << "queued ones first";
    }
    EXPECT_EQ(hostsim::CallCount("Zorv_Connect"), 3u) << "failing calls are logged too";
    hostsim::Reset();
    EXPECT_TRUE(hostsim::Calls().empty());
    EXPECT_EQ(Zorv_Connect(1, L"J1939:Baud=Auto,Channel=1", 1, nullptr, 1), 0) << "reset forgets results";

    auto send = Lookup<zorv::SendJ1939MsgFn>(zorv::kLookupSendJ1939Msg);
    hostsim::SetResult(hostsim::names::kSendJ1939Msg, 3);
    const uint8_t message[] = {0x00, 0xEA, 0x00};
    EXPECT_EQ(send(1, message, sizeof(message), 1, 1, 0), 3);
    EXPECT_TRUE(hostsim::SentMessages().empty()) << "a failed send never reaches the bus";
}
