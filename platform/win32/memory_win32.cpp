#include "platform/platform.h"

#include <new>

namespace tavolex::platform {

// Large pages need a privilege ordinary users lack: the block is an ordinary allocation.
std::shared_ptr<std::uint8_t[]> AllocateBulk(std::size_t size) {
    return std::shared_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
}

}  // namespace tavolex::platform
