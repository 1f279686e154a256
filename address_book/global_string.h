#pragma once
// A growable, NUL-terminated byte string in one movable memory block that stays locked while the
// string lives. The text is code page 932: where a position is counted in characters, a
// double-byte character counts as one.
//
// Size rules: the first block holds max(requested, 256) bytes; growing to hold n bytes makes the
// block n + 64 bytes; assigning a text of length L to a block smaller than L + 1 grows it to hold
// L + 256; releasing the buffer shrinks a block larger than length + 64 to length + 64. Every
// fresh or grown byte is zero.
//
// The operations that allocate return kGlobalStringOk, kGlobalStringNoMemory (the old block stays
// in use and the string as it was) or kGlobalStringCannotLock (the string is left empty, without
// a block).

#include "address_book/movable_memory.h"

#include <cstdint>
#include <string_view>

namespace tavolex {

inline constexpr int kGlobalStringOk = 0;
inline constexpr int kGlobalStringNoMemory = -501;
inline constexpr int kGlobalStringCannotLock = -502;

class GlobalString {
public:
    static constexpr std::int32_t kFirstBlockSize = 256;
    static constexpr std::int32_t kGrowSlack = 64;
    static constexpr std::int32_t kAssignSlack = 256;

    // Empty, with a first block of 256 bytes (none when it can't be had: the string is then empty
    // and the next operation that needs room tries again).
    explicit GlobalString(MovableMemory& memory = DefaultMovableMemory());
    explicit GlobalString(const char* text, MovableMemory& memory = DefaultMovableMemory());
    GlobalString(const GlobalString& other);
    GlobalString& operator=(const GlobalString& other);
    // Unlocks and frees the block.
    virtual ~GlobalString();

    // Grows the block so that n bytes fit; nothing when they already do. Without a block this is
    // the first allocation.
    virtual int Reserve(std::int32_t n);
    // A new zero-filled block of max(n, 256) bytes in place of the current one; the text is empty.
    virtual int Allocate(std::int32_t n);
    // Copies text in; a null or empty text zero-fills the block, and the string's own text is left
    // alone. A text that lies inside this string's block is moved, never read after a reallocation.
    virtual int Assign(const char* text);
    // Copies other's text in, unless it is the same text.
    virtual int Assign(const GlobalString& other);
    // Length in bytes.
    [[nodiscard]] virtual std::int32_t GetLength() const;
    // The byte that starts character index; 0 when index is not below the byte length or the text
    // has fewer characters.
    [[nodiscard]] virtual char GetAt(std::int32_t index) const;
    // Reserves n bytes when n > 0 and returns the block for direct writing (at least n bytes, and
    // always a block of its own); null when the room can't be had.
    [[nodiscard]] virtual char* GetBuffer(std::int32_t n);
    // Ends direct writing: when n >= 0 and below the length the text ends at character n; then a
    // block larger than length + 64 shrinks to length + 64. A text written without its NUL is
    // ended at the block's last byte.
    virtual int ReleaseBuffer(std::int32_t n = -1);
    [[nodiscard]] virtual bool IsEmpty() const;
    // Zero-fills the block.
    virtual void Empty();

    // The text, always NUL-terminated; "" while there is no block.
    [[nodiscard]] const char* Text() const { return bytes_ != nullptr ? bytes_ : ""; }
    [[nodiscard]] std::string_view View() const { return {Text(), static_cast<std::size_t>(GetLength())}; }
    // Bytes in the block; 0 while there is none.
    [[nodiscard]] std::int32_t Capacity() const { return capacity_; }

private:
    int ResizeBlock(std::int64_t size);
    void DropBlock();
    [[nodiscard]] bool Holds(const char* p) const;

    MovableMemory* memory_;
    std::int32_t capacity_ = 0;
    char* bytes_ = nullptr;  // the locked block, or null while there is none
    MovableMemory::Handle block_ = nullptr;
};

}  // namespace tavolex
