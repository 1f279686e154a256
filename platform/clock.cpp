#include "platform/platform.h"

namespace tavolex::platform {

std::tm LocalTime(std::time_t moment) {
    std::tm fields{};
#ifdef _WIN32
    localtime_s(&fields, &moment);
#else
    localtime_r(&moment, &fields);
#endif
    return fields;
}

std::tm UtcTime(std::time_t moment) {
    std::tm fields{};
#ifdef _WIN32
    gmtime_s(&fields, &moment);
#else
    gmtime_r(&moment, &fields);
#endif
    return fields;
}

}  // namespace tavolex::platform
