#include "control/ScheduleClock.h"

#include <time.h>

#include <algorithm>
#include <ctime>

namespace tarnwick {

namespace {

// A day's worth of minutes, now included.
constexpr std::chrono::minutes kLongestCatchUp{24 * 60 - 1};

}  // namespace

LocalMinute LocalMinuteNow() {
    using namespace std::chrono;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    const year_month_day date{year{local.tm_year + 1900},
                              month{static_cast<unsigned>(local.tm_mon + 1)},
                              day{static_cast<unsigned>(local.tm_mday)}};
    return local_days{date} + hours{local.tm_hour} + minutes{local.tm_min};
}

int HourOf(LocalMinute minute) {
    const std::chrono::hh_mm_ss time{minute - std::chrono::floor<std::chrono::days>(minute)};
    return static_cast<int>(time.hours().count());
}

int MinuteOf(LocalMinute minute) {
    const std::chrono::hh_mm_ss time{minute - std::chrono::floor<std::chrono::days>(minute)};
    return static_cast<int>(time.minutes().count());
}

LocalMinute ScheduleClock::FirstDue(LocalMinute now) const {
    if (!lastExamined_ || now <= *lastExamined_) {
        return now;
    }
    return std::max(*lastExamined_ + std::chrono::minutes{1}, now - kLongestCatchUp);
}

}  // namespace tarnwick
