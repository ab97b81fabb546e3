// Timings of the portable core's per-tick and per-setting work.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "core/calendar.h"
#include "core/number_text.h"
#include "core/refresh_cycle.h"
#include "core/time_left.h"

namespace {

using namespace daymarker;

// A year and some away, every unit present: the longest line each level writes.
constexpr std::int64_t kLongWait = 400LL * 86400 + 5 * 3600 + 25 * 60 + 7;

void BM_TimeLeftText(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  const bool onlyUnits = state.range(1) != 0;
  std::int64_t seconds = kLongWait;
  for (auto _ : state) {
    std::wstring text = TimeLeftText(seconds, level, onlyUnits);
    benchmark::DoNotOptimize(text.data());
    --seconds;  // a new value each time, as on the real clock
  }
}
BENCHMARK(BM_TimeLeftText)
    ->ArgNames({"level", "onlyUnits"})
    ->Args({kLevelSeconds, 0})
    ->Args({4, 0})
    ->Args({kLevelYears, 0})
    ->Args({kLevelSeconds, 1});

void BM_CountTick(benchmark::State& state) {
  std::int32_t secondsToRefresh = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(CountTick(secondsToRefresh, 8));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CountTick);

void BM_WallSecondsFromCivil(benchmark::State& state) {
  CivilDateTime time{2031, 11, 28, 17, 45, 9};
  for (auto _ : state) {
    benchmark::DoNotOptimize(time);
    benchmark::DoNotOptimize(WallSecondsFromCivil(time));
  }
}
BENCHMARK(BM_WallSecondsFromCivil);

void BM_CivilFromWallSeconds(benchmark::State& state) {
  std::int64_t seconds = WallSecondsFromCivil({2031, 11, 28, 17, 45, 9});
  for (auto _ : state) {
    benchmark::DoNotOptimize(seconds);
    benchmark::DoNotOptimize(CivilFromWallSeconds(seconds));
  }
}
BENCHMARK(BM_CivilFromWallSeconds);

void BM_LeadingNumber(benchmark::State& state) {
  const std::wstring text = L"  -12345.678e-2 trailing";
  for (auto _ : state) {
    benchmark::DoNotOptimize(LeadingNumber(text));
  }
}
BENCHMARK(BM_LeadingNumber);

}  // namespace

BENCHMARK_MAIN();
