#include "base/trace.h"

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
    void TearDown() override { SetTraceTargets({}); }

    FilePtr out{std::tmpfile(), &std::fclose};
    FilePtr err{std::tmpfile(), &std::fclose};
    test::RecordingDebugChannel debug;
};

// A line goes to stdout and to the debug channel; an error goes to stderr and is
// wrapped on the debug channel; a long text is cut to 255 characters.
TEST_F(TraceTest, LinesErrorsAndTheirPieces) {
    Trace("usr = 0x%08x", 1234u);
    TraceError("JpegFile :\nCan't open %s\n", "a.jpg");
    Trace("%s", std::string(400, 'a').c_str());
    EXPECT_EQ(Contents(out.get()), "usr = 0x000004d2\n" + std::string(255, 'a') + "\n");
    EXPECT_EQ(Contents(err.get()), "JpegFile :\nCan't open a.jpg\n\n");
    EXPECT_EQ(debug.Text(), "usr = 0x000004d2\n*** JpegFile :\nCan't open a.jpg\n ***\n" + std::string(255, 'a') + "\n");
}

}  // namespace
}  // namespace tavolex
