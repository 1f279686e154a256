#include "base/deflate.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace tavolex {
namespace {

TEST(Base64Test, PublishedValues) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(Base64(bytes), text) << bytes;
    EXPECT_EQ(Base64(std::string("\xFB\xFF\x00", 3)), "+/8A");
}

#ifndef _WIN32
// What DeflateRaw writes is read back by Python's zlib: short texts, runs longer than one match,
// matches that reach back the whole window and texts the window has long passed.
TEST(DeflateTest, PythonsZlibReadsBackEveryText) {
    std::string varied;
    for (int i = 0; i < 40000; ++i) varied += "定例会議 第" + std::to_string(i * 7919 % 100003) + (i % 3 ? "\n" : ",");
    std::string far(40000, '\0');
    for (std::size_t i = 0; i < far.size(); ++i) far[i] = static_cast<char>((i * 2654435761U) >> 24);
    far += far.substr(0, 300);  // a repeat 40,000 bytes back: past the window, so written as literals
    const std::string texts[] = {"", "a", "abcabcabcabc", std::string(70000, 'x'), varied, far};
    for (const std::string& text : texts) {
        const std::string in = testing::TempDir() + "deflate-in", out = testing::TempDir() + "deflate-out";
        std::ofstream(in, std::ios::binary) << DeflateRaw(text);
        const std::string command =
            "/usr/bin/python3 -c \"import sys, zlib; sys.stdout.buffer.write(zlib.decompress("
            "open(sys.argv[1], 'rb').read(), -15))\" " +
            in + " > " + out;
        ASSERT_EQ(std::system(command.c_str()), 0) << text.size();
        std::stringstream back;
        back << std::ifstream(out, std::ios::binary).rdbuf();
        EXPECT_EQ(back.str(), text) << text.size();
        // Repeats shrink; bytes without repeats grow by at most an eighth (9-bit literals).
        if (text.size() > 1000) {
            EXPECT_LT(DeflateRaw(text).size(), text == far ? text.size() + text.size() / 8 + 16 : text.size() / 3);
        }
    }
}
#endif

}  // namespace
}  // namespace tavolex
