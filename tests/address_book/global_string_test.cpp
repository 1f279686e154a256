#include "address_book/global_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace tavolex {
namespace {

// Movable memory that refuses what it is told to refuse.
class FailingMemory : public MovableMemory {
public:
    bool Reallocate(Handle b, std::size_t n) override { return !failReallocate && MovableMemory::Reallocate(b, n); }
    char* Lock(Handle block) override { return failLock ? nullptr : MovableMemory::Lock(block); }

    bool failReallocate = false;
    bool failLock = false;
};

TEST(GlobalStringTest, CharacterPositionsStepOverDoubleByteCharacters) {
    const std::string aiu = "\x82\xa0\x82\xa2\x82\xa4";  // "あいう" in code page 932
    GlobalString s((aiu + "z\x82").c_str());             // ends with a lone lead byte
    // At 1 the first byte of "い", not the trail byte of "あ"; at 5, below the byte length, past the
    // last character.
    EXPECT_EQ(std::make_tuple(s.GetAt(1), s.GetAt(3), s.GetAt(4), s.GetAt(5)), std::make_tuple('\x82', 'z', '\x82', '\0'));
    ASSERT_NE(s.GetBuffer(0), nullptr);
    EXPECT_EQ(s.ReleaseBuffer(-7), kGlobalStringOk);  // negative: no cut
    EXPECT_EQ(s.GetLength(), 8);
    EXPECT_EQ(s.ReleaseBuffer(2), kGlobalStringOk);
    EXPECT_EQ(s.View(), aiu.substr(0, 4));
    EXPECT_EQ(s.Assign(s.Text() + 2), kGlobalStringOk);  // a part of its own text moves to the front
    EXPECT_EQ(s.View(), aiu.substr(2, 2));
    const GlobalString other("other");
    EXPECT_EQ(s.Assign(other), kGlobalStringOk);
    EXPECT_EQ(s.View(), "other");
    GlobalString full("x");  // a text that fills the first block exactly keeps it
    EXPECT_EQ(full.Assign(std::string(255, 'y').c_str()), kGlobalStringOk);
    EXPECT_EQ(full.Capacity(), 256);
}

TEST(GlobalStringFailureTest, RefusedMemoryKeepsTheStringAndAFailedLockEmptiesIt) {
    FailingMemory memory;
    GlobalString s("keep", memory);
    EXPECT_EQ(s.Reserve(INT_MAX), kGlobalStringNoMemory);  // beyond signed 32 bits
    memory.failReallocate = true;
    EXPECT_EQ(s.Assign(std::string(400, 'y').c_str()), kGlobalStringNoMemory);
    EXPECT_EQ(s.Capacity(), 256);
    EXPECT_EQ(s.View(), "keep");

    memory.failReallocate = false;
    memory.failLock = true;
    EXPECT_EQ(s.Reserve(1000), kGlobalStringCannotLock);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_STREQ(s.Text(), "");
    memory.failLock = false;
    EXPECT_EQ(s.Assign("again"), kGlobalStringOk);  // the next operation takes a first block
    EXPECT_EQ(s.Capacity(), 261);
    EXPECT_EQ(s.View(), "again");
}

// The memory under the strings refuses a locked block, sizes out of range and no block, and leaves
// the block as it was.
TEST(MovableMemoryTest, RefusalsLeaveTheBlockUnchanged) {
    MovableMemory memory;
    const MovableMemory::Handle block = memory.Allocate(4);
    ASSERT_NE(block, nullptr);
    EXPECT_FALSE(memory.Reallocate(nullptr, 8));
    EXPECT_FALSE(memory.Reallocate(block, MovableMemory::kMaxBlockSize + 1));
    ASSERT_NE(memory.Lock(block), nullptr);
    EXPECT_FALSE(memory.Reallocate(block, 8));
    EXPECT_EQ(memory.Size(block), 4u);
    memory.Unlock(block);
    EXPECT_TRUE(memory.Reallocate(block, 8));
    EXPECT_EQ(memory.Size(block), 8u);
    memory.Free(block);
}

}  // namespace
}  // namespace tavolex
