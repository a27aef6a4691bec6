#pragma once

#include <chrono>
#include <optional>

namespace tarnwick {

// A minute of the local wall clock, date included, so that a gap between ticks can be told
// from a day's worth of them.
using LocalMinute = std::chrono::local_time<std::chrono::minutes>;

LocalMinute LocalMinuteNow();
int HourOf(LocalMinute minute);
int MinuteOf(LocalMinute minute);

// Remembers the last minute the scheduler examined, so that a late or skipped tick (a busy
// machine, a suspended laptop) still examines every minute since then.
class ScheduleClock {
public:
    // The first minute this tick must examine; every minute from it up to now is due, in
    // order. That is now itself on the first tick, on a second tick within the same minute
    // and when the clock went back; otherwise the minute after the last one examined, but no
    // more than a day back.
    LocalMinute FirstDue(LocalMinute now) const;
    void MarkExamined(LocalMinute minute) { lastExamined_ = minute; }

private:
    std::optional<LocalMinute> lastExamined_;
};

}  // namespace tarnwick
