#include "core/refresh_cycle.h"

#include <limits>
#include <optional>

namespace daymarker {
namespace {

// The period of an UpdateIndex (1..8), or nothing for an index outside the table.
std::optional<std::int32_t> UpdatePeriod(int updateIndex) {
  if (updateIndex < 1 || updateIndex > static_cast<int>(kUpdateIntervals.size())) {
    return std::nullopt;
  }
  return kUpdateIntervals[static_cast<std::size_t>(updateIndex - 1)].seconds;
}

}  // namespace

bool CountTick(std::int32_t& secondsToRefresh, int updateIndex) {
  // Stays put at the floor instead of wrapping after years of ticks with no period.
  if (secondsToRefresh > std::numeric_limits<std::int32_t>::min()) {
    --secondsToRefresh;
  }
  if (secondsToRefresh > 0) {
    return false;
  }
  if (const auto period = UpdatePeriod(updateIndex)) {
    secondsToRefresh = *period;
  }
  return true;
}

}  // namespace daymarker
