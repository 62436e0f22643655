#include "project/ProjectCreation.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace korvana {

SettingDate localTimeNow() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    ::localtime_r(&now, &local);
    return makeSettingDate(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                           static_cast<unsigned>(local.tm_mday),
                           static_cast<unsigned>(local.tm_hour),
                           static_cast<unsigned>(local.tm_min),
                           // A leap second is no second of the stored form.
                           static_cast<unsigned>(std::min(local.tm_sec, 59)));
}

} // namespace korvana
