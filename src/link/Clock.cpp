#include "link/Clock.h"

#include <cstdio>

namespace karune {

std::string dateText(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
    return buf;
}

std::string timeText(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

std::string timeStamp(const LocalDateTime& t) {
    return dateText(t) + "-" + timeText(t);
}

}  // namespace karune
