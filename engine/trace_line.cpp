#include "engine/trace_line.h"

#include <cstdio>

#include "platform/local_time.h"
#include "platform/log_line.h"

void FormatTraceLine(const char* message, char* line, size_t size) {
    if (!line || size == 0)
        return;
    const plat::LocalTime t = plat::GetLocalTime();
    const int n = snprintf(line, size, "[%d/%.2d/%.2d %.2d:%.2d:%.2d] ", t.year, t.month, t.day, t.hour, t.minute,
                           t.second);
    if (n < 0 || static_cast<size_t>(n) >= size)
        return;
    // The stamp is ASCII, so the message is cut on its own characters.
    plat::FitLogLine(message ? message : "", line + n, size - static_cast<size_t>(n));
}
