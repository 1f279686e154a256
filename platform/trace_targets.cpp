#include "platform/platform.h"

#include <cstdio>

namespace tavolex {

TraceTargets DesktopTraceTargets() { return {stdout, stderr, &platform::SystemDebugChannel()}; }

TraceTargets CommandLineTraceTargets() { return {nullptr, nullptr, &platform::SystemDebugChannel()}; }

}  // namespace tavolex
