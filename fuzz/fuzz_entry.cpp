// The libFuzzer entry point of every target: the trace off, then the target's own FuzzOne.

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavolex::fuzz::QuietTrace();
    tavolex::fuzz::FuzzOne({reinterpret_cast<const char*>(data), size});
    return 0;
}
