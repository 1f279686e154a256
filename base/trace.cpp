#include "base/trace.h"

#include <cstdarg>

namespace tavolex {
namespace {

constexpr std::size_t kTraceLine = 256;

TraceTargets& Targets() {
    static TraceTargets targets;
    return targets;
}

bool DebugListening(const TraceTargets& t) { return t.debug != nullptr && t.debug->Listening(); }

// Formats into the 256-byte line; vsnprintf cuts longer text and always terminates.
void FormatLine(char (&line)[kTraceLine], const char* format, va_list args) {
    std::vsnprintf(line, sizeof line, format, args);
}

}  // namespace

void SetTraceTargets(const TraceTargets& targets) { Targets() = targets; }

bool TraceListening() {
    const TraceTargets& t = Targets();
    return t.out != nullptr || DebugListening(t);
}

bool TraceSilent() { return !TraceListening() && Targets().err == nullptr; }

void Trace(const char* format, ...) {
    const TraceTargets& t = Targets();
    const bool debug = DebugListening(t);
    if (t.out == nullptr && !debug) return;
    char line[kTraceLine];
    va_list args;
    va_start(args, format);
    FormatLine(line, format, args);
    va_end(args);
    if (t.out != nullptr) {
        std::fputs(line, t.out);
        std::fputs("\n", t.out);
    }
    if (debug) {
        t.debug->Write("");
        t.debug->Write(line);
        t.debug->Write("\n");
    }
}

void TraceError(const char* format, ...) {
    const TraceTargets& t = Targets();
    const bool debug = DebugListening(t);
    if (t.err == nullptr && !debug) return;
    char line[kTraceLine];
    va_list args;
    va_start(args, format);
    FormatLine(line, format, args);
    va_end(args);
    if (t.err != nullptr) {
        std::fputs(line, t.err);
        std::fputs("\n", t.err);
    }
    if (debug) {
        t.debug->Write("*** ");
        t.debug->Write(line);
        t.debug->Write(" ***\n");
    }
}

}  // namespace tavolex
