#include "meeting_store/byte_reader.h"

#include <gtest/gtest.h>

#include <array>

namespace tavolex {
namespace {

constexpr std::array<std::uint8_t, 6> kBytes{0x12, 0x34, 0x56, 0x78, 'h', 0};

TEST(ByteReaderTest, ByteOrderIsInTheName) {
    ByteReader le(kBytes);
    EXPECT_EQ(le.U32Le(), 0x78563412u);
    ByteReader be(kBytes);
    EXPECT_EQ(be.U16Be(), 0x1234u);
    EXPECT_EQ(be.U16Le(), 0x7856u);
}

TEST(ByteReaderTest, FailedReadKeepsOffsetAndLatches) {
    ByteReader r(kBytes);
    r.Skip(4);
    EXPECT_EQ(r.U32Be(), 0u);
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.Offset(), 4u);
    EXPECT_EQ(r.U8(), 0u);  // even a read that would fit fails now
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(ByteReaderTest, HugeCountsDoNotOverflow) {
    ByteReader r(kBytes);
    r.Skip(2);
    r.Skip(static_cast<std::size_t>(-2));
    EXPECT_FALSE(r.Ok());
    ByteReader s(kBytes);
    ByteReader sub = s.Sub(static_cast<std::size_t>(-1));
    EXPECT_FALSE(sub.Ok());
    EXPECT_FALSE(s.Ok());
}

TEST(ByteReaderTest, CStringCutsAndAlwaysTerminates) {
    ByteReader r(kBytes);
    r.Skip(4);
    char small[1];
    EXPECT_EQ(r.CString(small), 1u);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(r.Remaining(), 0u);

    const std::array<std::uint8_t, 3> unterminated{'a', 'b', 'c'};
    ByteReader u(unterminated);
    char text[8];
    EXPECT_EQ(u.CString(text), 3u);
    EXPECT_STREQ(text, "abc");
    EXPECT_TRUE(u.Ok());
    EXPECT_EQ(u.CString(text), 0u);  // at the end: an empty text
    EXPECT_STREQ(text, "");
}

TEST(ByteReaderTest, CStringIntoTextKeepsTheCapacityLimit) {
    const std::array<std::uint8_t, 7> bytes{'a', 'b', 'c', 0, 'd', 'e', 'f'};
    ByteReader r(bytes);
    std::string text = "old";
    EXPECT_EQ(r.CString(text, 3), 3u);  // room for 2 bytes and the NUL a fixed field would hold
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(r.Offset(), 4u);
    EXPECT_EQ(r.CString(text, 100), 3u);  // runs to the end without NUL
    EXPECT_EQ(text, "def");
    EXPECT_EQ(r.CString(text, 100), 0u);
    EXPECT_EQ(text, "");
    ByteReader empty;
    EXPECT_EQ(empty.CString(text, 1), 0u);
    EXPECT_TRUE(empty.Ok());
}

TEST(ByteReaderTest, SubReaderIsBounded) {
    ByteReader r(kBytes);
    ByteReader head = r.Sub(2);
    EXPECT_EQ(head.U16Be(), 0x1234u);
    EXPECT_EQ(head.U8(), 0u);
    EXPECT_FALSE(head.Ok());
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(r.U8(), 0x56u);
}

}  // namespace
}  // namespace tavolex
