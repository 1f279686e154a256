#include "platform/platform.h"

#include <sys/mman.h>

#include <cstdlib>

namespace tavolex::platform {

std::shared_ptr<std::uint8_t[]> AllocateBulk(std::size_t size) {
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    const auto release = [](std::uint8_t* block) { std::free(block); };
    if (size < kLargePage) {
        return std::shared_ptr<std::uint8_t[]>(static_cast<std::uint8_t*>(std::malloc(size == 0 ? 1 : size)), release);
    }
    const std::size_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
    auto* block = static_cast<std::uint8_t*>(std::aligned_alloc(kLargePage, rounded));
    if (block == nullptr) return nullptr;
#ifdef MADV_HUGEPAGE
    // Advice only: where the system has no large pages to give, the block works the same.
    ::madvise(block, rounded, MADV_HUGEPAGE);
#endif
    return std::shared_ptr<std::uint8_t[]>(block, release);
}

}  // namespace tavolex::platform
