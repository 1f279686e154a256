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
    Handle Allocate(std::size_t size) override { return failAllocate ? nullptr : MovableMemory::Allocate(size); }
    bool Reallocate(Handle block, std::size_t size) override {
        return !failReallocate && MovableMemory::Reallocate(block, size);
    }
    char* Lock(Handle block) override { return failLock ? nullptr : MovableMemory::Lock(block); }

    bool failAllocate = false;
    bool failReallocate = false;
    bool failLock = false;
};

// "あいう" in code page 932.
const std::string kAiu = "\x82\xa0\x82\xa2\x82\xa4";

TEST(GlobalStringTest, NewStringHasFirstBlockAndNoText) {
    GlobalString s;
    EXPECT_EQ(s.Capacity(), 256);
    EXPECT_EQ(s.GetLength(), 0);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s.Text(), "");
}

TEST(GlobalStringTest, SizeRules) {
    GlobalString reserved;
    EXPECT_EQ(reserved.Reserve(200), kGlobalStringOk);
    EXPECT_EQ(reserved.Capacity(), 256);  // fits already
    EXPECT_EQ(reserved.Reserve(300), kGlobalStringOk);
    EXPECT_EQ(reserved.Capacity(), 364);

    const std::string text300(300, 'x');
    GlobalString assigned;
    EXPECT_EQ(assigned.Assign(text300.c_str()), kGlobalStringOk);
    EXPECT_EQ(assigned.Capacity(), 620);
    EXPECT_EQ(assigned.View(), text300);
    GlobalString constructed(text300.c_str());
    EXPECT_EQ(constructed.Capacity(), 620);

    GlobalString released;
    char* buffer = released.GetBuffer(936);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(released.Capacity(), 1000);
    std::memcpy(buffer, "0123456789", 10);
    EXPECT_EQ(released.ReleaseBuffer(), kGlobalStringOk);
    EXPECT_EQ(released.Capacity(), 74);
    EXPECT_EQ(released.View(), "0123456789");
}

TEST(GlobalStringTest, GrownBytesAreZero) {
    GlobalString s("abc");
    ASSERT_EQ(s.Reserve(5000), kGlobalStringOk);
    const char* bytes = s.Text();
    for (int i = 3; i < s.Capacity(); ++i) ASSERT_EQ(bytes[i], '\0') << i;
}

TEST(GlobalStringTest, CharacterPositionsStepOverDoubleByteCharacters) {
    GlobalString s((kAiu + "z").c_str());
    EXPECT_EQ(s.GetAt(0), '\x82');
    EXPECT_EQ(s.GetAt(1), '\x82');  // first byte of "い", not the trail byte of "あ"
    EXPECT_EQ(s.GetAt(3), 'z');
    EXPECT_EQ(s.GetAt(4), '\0');  // below the byte length, past the last character
    EXPECT_EQ(s.GetAt(7), '\0');
    EXPECT_EQ(s.GetAt(-1), '\0');

    ASSERT_NE(s.GetBuffer(0), nullptr);
    EXPECT_EQ(s.ReleaseBuffer(2), kGlobalStringOk);
    EXPECT_EQ(s.View(), kAiu.substr(0, 4));
    EXPECT_EQ(s.ReleaseBuffer(-7), kGlobalStringOk);  // negative: no cut
    EXPECT_EQ(s.GetLength(), 4);
}

TEST(GlobalStringTest, ALoneLeadByteAtTheEndIsOneCharacter) {
    GlobalString s("ab\x82");
    EXPECT_EQ(s.GetAt(2), '\x82');
    ASSERT_NE(s.GetBuffer(0), nullptr);
    EXPECT_EQ(s.ReleaseBuffer(3), kGlobalStringOk);
    EXPECT_EQ(s.GetLength(), 3);
}

TEST(GlobalStringTest, AssignEmptyZeroFillsAndOwnTextIsSafe) {
    GlobalString s("hello world");
    EXPECT_EQ(s.Assign(""), kGlobalStringOk);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.Text()[5], '\0');
    EXPECT_EQ(s.Assign("hello world"), kGlobalStringOk);
    EXPECT_EQ(s.Assign(nullptr), kGlobalStringOk);
    EXPECT_TRUE(s.IsEmpty());

    EXPECT_EQ(s.Assign("hello world"), kGlobalStringOk);
    EXPECT_EQ(s.Assign(s.Text()), kGlobalStringOk);
    EXPECT_EQ(s.View(), "hello world");
    EXPECT_EQ(s.Assign(s.Text() + 6), kGlobalStringOk);
    EXPECT_EQ(s.View(), "world");
}

TEST(GlobalStringTest, CopiesOwnTheirText) {
    GlobalString a("first");
    GlobalString b(a);
    GlobalString c;
    c = a;
    a.Assign("changed");
    EXPECT_EQ(b.View(), "first");
    EXPECT_EQ(c.View(), "first");
    c = c;
    EXPECT_EQ(c.View(), "first");
}

TEST(GlobalStringTest, TextWrittenWithoutNulIsEndedInsideTheBlock) {
    GlobalString s;
    char* buffer = s.GetBuffer(0);
    ASSERT_NE(buffer, nullptr);
    std::memset(buffer, 'q', static_cast<std::size_t>(s.Capacity()));
    EXPECT_EQ(s.ReleaseBuffer(), kGlobalStringOk);
    EXPECT_EQ(s.GetLength(), 255);
}

TEST(GlobalStringFailureTest, SizesBeyondSigned32BitFailAndKeepTheString) {
    GlobalString s("keep");
    EXPECT_EQ(s.Reserve(INT_MAX), kGlobalStringNoMemory);
    EXPECT_EQ(s.GetBuffer(INT_MAX - 10), nullptr);
    EXPECT_EQ(s.Capacity(), 256);
    EXPECT_EQ(s.View(), "keep");
}

TEST(GlobalStringFailureTest, FailedReallocationKeepsTheOldBlock) {
    FailingMemory memory;
    GlobalString s("keep", memory);
    memory.failReallocate = true;
    EXPECT_EQ(s.Reserve(1000), kGlobalStringNoMemory);
    EXPECT_EQ(s.Assign(std::string(400, 'y').c_str()), kGlobalStringNoMemory);
    EXPECT_EQ(s.Capacity(), 256);
    EXPECT_EQ(s.View(), "keep");
}

TEST(GlobalStringFailureTest, FailedLockLeavesAnEmptyStringWithoutBlock) {
    FailingMemory memory;
    GlobalString s("text", memory);
    memory.failLock = true;
    EXPECT_EQ(s.Reserve(1000), kGlobalStringCannotLock);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_STREQ(s.Text(), "");
    s.Empty();
    EXPECT_EQ(s.ReleaseBuffer(), kGlobalStringOk);
    memory.failLock = false;
    EXPECT_EQ(s.Assign("again"), kGlobalStringOk);  // the next operation takes a first block
    EXPECT_EQ(s.Capacity(), 261);
    EXPECT_EQ(s.View(), "again");
}

TEST(GlobalStringFailureTest, NoFirstBlockMeansAnEmptyStringThatTriesAgain) {
    FailingMemory memory;
    memory.failAllocate = true;
    GlobalString s("lost", memory);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(s.GetBuffer(10), nullptr);
    memory.failAllocate = false;
    EXPECT_NE(s.GetBuffer(10), nullptr);
    EXPECT_EQ(s.Capacity(), 256);
}

// The memory under the strings refuses a locked block, sizes out of range and no block, and leaves
// the block as it was.
TEST(MovableMemoryTest, RefusalsLeaveTheBlockUnchanged) {
    MovableMemory memory;
    const MovableMemory::Handle block = memory.Allocate(4);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(memory.Allocate(0), nullptr);
    EXPECT_FALSE(memory.Reallocate(nullptr, 8));
    EXPECT_FALSE(memory.Reallocate(block, 0));
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
