// What the plug-in pays for its kernel services on the hot paths: the wake-up of a
// thread that waits for an answer (the receive thread sets the event the requesting
// thread waits on), and the critical section every module-table walk takes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

#include "platform/Platform.h"

namespace {

using marl::platform::CriticalSection;
using marl::platform::Event;
using marl::platform::kInfinite;
using marl::platform::Thread;

constexpr double kPercentile50 = 0.50;
constexpr double kPercentile99 = 0.99;
constexpr uint32_t kDefaultStack = 0;
// An answer that takes this long means the answering thread is gone.
constexpr uint32_t kAnswerDeadlineMs = 5000;

double Percentile(std::vector<double>& samples, double fraction) {
    if (samples.empty()) {
        return 0.0;
    }
    const auto rank = static_cast<size_t>(fraction * static_cast<double>(samples.size() - 1));
    std::nth_element(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(rank), samples.end());
    return samples[rank];
}

// One round trip: this thread sets the request, the answering thread wakes, sets the
// answer, and this thread wakes in turn.
void AnswerWakeUpRoundTrip(benchmark::State& state) {
    Event request(nullptr, false, false);
    Event answer(nullptr, false, false);
    Event stop(nullptr, true, false);
    Thread answering;
    const bool started = answering.Start(
        [&] {
            Event* const events[] = {&stop, &request};
            constexpr int kStopIndex = 0;
            while (marl::platform::WaitAny(events, 2, kInfinite) != kStopIndex) {
                answer.Set();
            }
        },
        kDefaultStack);
    if (!started) {
        state.SkipWithError("cannot start the answering thread");
        return;
    }

    std::vector<double> microseconds;
    for (auto _ : state) {
        const auto sent = std::chrono::steady_clock::now();
        request.Set();
        if (answer.Wait(kAnswerDeadlineMs) != marl::platform::WaitResult::Signalled) {
            state.SkipWithError("no answer from the answering thread");
            break;
        }
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - sent;
        microseconds.push_back(took.count());
    }
    stop.Set();
    answering.Join();

    state.counters["p50_us"] = Percentile(microseconds, kPercentile50);
    state.counters["p99_us"] = Percentile(microseconds, kPercentile99);
}
BENCHMARK(AnswerWakeUpRoundTrip)->UseRealTime();

void UncontendedCriticalSection(benchmark::State& state) {
    CriticalSection section;
    int guarded = 0;
    for (auto _ : state) {
        section.Enter();
        benchmark::DoNotOptimize(++guarded);
        section.Leave();
    }
}
BENCHMARK(UncontendedCriticalSection);

}  // namespace

BENCHMARK_MAIN();
