#include "address_book/movable_memory.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace tavolex {

struct MovableMemory::Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    int lockCount = 0;
};

namespace {

bool SizeInRange(std::size_t size) { return size > 0 && size <= MovableMemory::kMaxBlockSize; }

}  // namespace

MovableMemory::Handle MovableMemory::Allocate(std::size_t size) {
    if (!SizeInRange(size)) return nullptr;
    std::unique_ptr<Block> block(new (std::nothrow) Block);
    if (!block) return nullptr;
    block->bytes.reset(new (std::nothrow) char[size]());
    if (!block->bytes) return nullptr;
    block->size = size;
    return block.release();
}

bool MovableMemory::Reallocate(Handle block, std::size_t size) {
    if (block == nullptr || block->lockCount > 0 || !SizeInRange(size)) return false;
    // Always a fresh allocation: the bytes really move, so a stale address is caught at once.
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[size]());
    if (!bytes) return false;
    std::memcpy(bytes.get(), block->bytes.get(), std::min(size, block->size));
    block->bytes = std::move(bytes);
    block->size = size;
    return true;
}

char* MovableMemory::Lock(Handle block) {
    if (block == nullptr) return nullptr;
    ++block->lockCount;
    return block->bytes.get();
}

void MovableMemory::Unlock(Handle block) {
    if (block != nullptr && block->lockCount > 0) --block->lockCount;
}

void MovableMemory::Free(Handle block) { delete block; }

std::size_t MovableMemory::Size(Handle block) const { return block != nullptr ? block->size : 0; }

MovableMemory& DefaultMovableMemory() {
    static MovableMemory memory;
    return memory;
}

}  // namespace tavolex
