// The libFuzzer entry point of every target: the trace off, then the target's own FuzzOne.

#include "base/trace.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavolex::SetTraceTargets({nullptr, nullptr, nullptr});
    tavolex::fuzz::FuzzOne({reinterpret_cast<const char*>(data), size});
    return 0;
}
