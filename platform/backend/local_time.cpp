#include "platform/local_time.h"
#include "platform/local_time_test_hooks.h"

#include <ctime>
#include <sys/time.h>

namespace plat {

namespace {
// Never destroyed, so that the time prefix of a trace line written at exit works.
std::function<LocalTime()>& Source() {
    static auto* source = new std::function<LocalTime()>;
    return *source;
}
} // namespace

LocalTime GetLocalTime() {
    if (const auto& source = Source())
        return source();
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

void SetLocalTimeSource(std::function<LocalTime()> source) { Source() = std::move(source); }

} // namespace plat
