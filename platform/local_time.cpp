#include "platform/local_time.h"

#include <ctime>
#include <sys/time.h>

namespace plat {

namespace {
std::function<LocalTime()> g_source;
}

LocalTime GetLocalTime() {
    if (g_source) return g_source();
    timeval tv{};
    gettimeofday(&tv, nullptr);
    time_t t = tv.tv_sec;
    tm parts{};
    localtime_r(&t, &parts);
    LocalTime lt;
    lt.year = parts.tm_year + 1900;
    lt.month = parts.tm_mon + 1;
    lt.day = parts.tm_mday;
    lt.dayOfWeek = parts.tm_wday;
    lt.hour = parts.tm_hour;
    lt.minute = parts.tm_min;
    lt.second = parts.tm_sec;
    lt.milliseconds = static_cast<int>(tv.tv_usec / 1000);
    return lt;
}

void SetLocalTimeSource(std::function<LocalTime()> source) { g_source = std::move(source); }

}  // namespace plat
