#include "shell/trace.h"

#include "tests/support/recording_debug_channel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace tavolex {
namespace {

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string Contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[512];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, n);
    return text;
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override { SetTraceTargets({out.get(), err.get(), &debug}); }
    void TearDown() override { SetTraceTargets(CommandLineTraceTargets()); }

    FilePtr out{std::tmpfile(), &std::fclose};
    FilePtr err{std::tmpfile(), &std::fclose};
    test::RecordingDebugChannel debug;
};

TEST_F(TraceTest, WritesLineToStdoutAndThreePiecesToDebugChannel) {
    Trace("usr = 0x%08x", 1234u);
    EXPECT_EQ(Contents(out.get()), "usr = 0x000004d2\n");
    EXPECT_EQ(Contents(err.get()), "");
    EXPECT_EQ(debug.pieces, (std::vector<std::string>{"", "usr = 0x000004d2", "\n"}));
}

TEST_F(TraceTest, ErrorGoesToStderrAndIsWrappedOnDebugChannel) {
    TraceError("JpegFile :\nCan't open %s\n", "a.jpg");
    EXPECT_EQ(Contents(err.get()), "JpegFile :\nCan't open a.jpg\n\n");
    EXPECT_EQ(Contents(out.get()), "");
    EXPECT_EQ(debug.pieces, (std::vector<std::string>{"*** ", "JpegFile :\nCan't open a.jpg\n", " ***\n"}));
}

TEST_F(TraceTest, AddressesKeepAllTheirDigits) {
    const void* p = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x1234));
    Trace("NEW Meeting[%i] = " TAVOLEX_TRACE_PTR, 7, TraceAddress(p));
    EXPECT_EQ(debug.pieces.at(1), "NEW Meeting[7] = 0x00001234");
    if constexpr (sizeof(void*) == 8) {
        const void* high = reinterpret_cast<const void*>(static_cast<std::uintptr_t>(0x7f0012345678ull));
        Trace("x = " TAVOLEX_TRACE_PTR, TraceAddress(high));
        EXPECT_EQ(debug.pieces.at(4), "x = 0x7f0012345678");
    }
}

TEST_F(TraceTest, LongTextIsCutTo255Characters) {
    const std::string longText(400, 'a');
    Trace("%s", longText.c_str());
    EXPECT_EQ(debug.pieces.at(1), std::string(255, 'a'));
    EXPECT_EQ(Contents(out.get()), std::string(255, 'a') + "\n");
}

TEST(TraceTargetsTest, NothingIsFormattedWhenNoTargetListens) {
    test::RecordingDebugChannel deaf(false);
    SetTraceTargets({nullptr, nullptr, &deaf});
    EXPECT_FALSE(TraceListening());
    Trace("x = %d", 1);
    TraceError("y = %d", 2);
    EXPECT_TRUE(deaf.pieces.empty());
    SetTraceTargets(CommandLineTraceTargets());
}

}  // namespace
}  // namespace tavolex
