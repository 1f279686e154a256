#pragma once
// The always-on diagnostic trace: object lifetimes and a few errors, printf-style, cut to 255
// characters. Object addresses print with TAVOLEX_TRACE_PTR and TraceAddress:
//   Trace("NEW Meeting[%i] = " TAVOLEX_TRACE_PTR, index, TraceAddress(meeting));

#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace tavolex {

// A line-oriented output the trace can write to; the platform supplies its debug channel as one.
class TraceChannel {
public:
    virtual ~TraceChannel() = default;
    // False when nothing can receive the output, so callers may skip formatting it.
    [[nodiscard]] virtual bool Listening() const = 0;
    virtual void Write(const char* piece) = 0;
};

// "0x" and the pointer in hexadecimal, at least 8 digits; pass the address through TraceAddress.
#define TAVOLEX_TRACE_PTR "0x%08" PRIxPTR

inline std::uintptr_t TraceAddress(const void* p) { return reinterpret_cast<std::uintptr_t>(p); }

// Where the trace goes. The desktop program writes the standard-stream part to stdout/stderr;
// the command-line tool keeps its standard streams for results and leaves them null.
struct TraceTargets {
    std::FILE* out = nullptr;
    std::FILE* err = nullptr;
    TraceChannel* debug = nullptr;
};

// Process-wide; nothing until the front end installs the platform's targets at start (tests set
// their own; platform.h offers the front ends' sets).
void SetTraceTargets(const TraceTargets& targets);

// True when some target would receive a trace line; callers on hot paths may skip work.
[[nodiscard]] bool TraceListening();
// True when no target would receive a trace or error line, so work may run out of its usual order.
[[nodiscard]] bool TraceSilent();

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
void TraceError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tavolex
