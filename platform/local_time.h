#pragma once
#include <functional>

namespace plat {

struct LocalTime {
    int year = 0;
    int month = 0; // 1..12
    int day = 0; // 1..31
    int dayOfWeek = 0; // 0 Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

LocalTime GetLocalTime();

} // namespace plat
