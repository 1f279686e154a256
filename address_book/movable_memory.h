#pragma once
// Movable memory blocks, the storage behind GlobalString. A block is held by its handle; its bytes
// have a fixed address only while it is locked, and a reallocation moves them, so a holder unlocks
// before every reallocation and takes the address afresh from the next lock.
//
// The default implementation sits on the C++ allocator. Tests derive from MovableMemory to make
// allocations or locks fail on demand.

#include <cstddef>
#include <cstdint>

namespace tavolex {

class MovableMemory {
public:
    struct Block;
    using Handle = Block*;

    // Block sizes are signed 32-bit values.
    static constexpr std::size_t kMaxBlockSize = INT32_MAX;

    MovableMemory() = default;
    MovableMemory(const MovableMemory&) = delete;
    MovableMemory& operator=(const MovableMemory&) = delete;
    virtual ~MovableMemory() = default;

    // A new zero-filled block of size bytes (1 ... kMaxBlockSize); null when it can't be had.
    [[nodiscard]] virtual Handle Allocate(std::size_t size);
    // Gives an unlocked block size bytes (1 ... kMaxBlockSize): its bytes are kept up to the new
    // size, growth is zero-filled, and the bytes move. False, with the block unchanged, when the
    // memory can't be had, the size is out of range or the block is locked.
    [[nodiscard]] virtual bool Reallocate(Handle block, std::size_t size);
    // The block's bytes, valid until the matching Unlock; null for a null handle.
    [[nodiscard]] virtual char* Lock(Handle block);
    virtual void Unlock(Handle block);
    // Frees the block (a null handle is ignored), locked or not.
    virtual void Free(Handle block);
    [[nodiscard]] virtual std::size_t Size(Handle block) const;
};

// The process's allocator-backed movable memory; it keeps no state of its own.
MovableMemory& DefaultMovableMemory();

}  // namespace tavolex
