// The code-page conversions around ODBC's wide entry points, under the
// Hungarian ANSI code page the tests run with.
#include <gtest/gtest.h>

#include <cstring>

#include "AnsiText.h"

namespace {

const char kHungarian[] = "\xE1rv\xEDzt\xFBr\xF5"; // "árvíztűrő" in code page 1250

TEST(WidenAnsi, ReadsTheSystemCodePage) {
    ASSERT_EQ(GetACP(), 1250u);
    std::vector<SQLWCHAR> wide = WidenAnsi(kHungarian);
    ASSERT_EQ(wide.size(), 10u);
    EXPECT_EQ(wide[0], 0x00E1);
    EXPECT_EQ(wide[6], 0x0171); // ű
    EXPECT_EQ(wide[8], 0x0151); // ő
    EXPECT_EQ(wide[9], 0);
}

TEST(WidenAnsi, AnEmptyTextIsJustTheNul) {
    std::vector<SQLWCHAR> wide = WidenAnsi("");
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0], 0);
}

TEST(NarrowToAnsi, RoundTripsTheSystemCodePage) {
    std::vector<SQLWCHAR> wide = WidenAnsi(kHungarian);
    char out[32];
    NarrowToAnsi(wide.data(), -1, out, sizeof out);
    EXPECT_STREQ(out, kHungarian);
}

TEST(NarrowToAnsi, StopsAtTheBuffersEnd) {
    std::vector<SQLWCHAR> wide = WidenAnsi("0123456789");
    char out[8];
    memset(out, 'x', sizeof out);
    NarrowToAnsi(wide.data(), -1, out, 6);
    EXPECT_STREQ(out, "01234");
    EXPECT_EQ(out[6], 'x') << "nothing written past the given size";
}

TEST(NarrowToAnsi, HonoursAnExplicitLength) {
    std::vector<SQLWCHAR> wide = WidenAnsi("abcdef");
    char out[16];
    NarrowToAnsi(wide.data(), 3, out, sizeof out);
    EXPECT_STREQ(out, "abc");
}

TEST(HoldsLeadByte, FindsWhatWouldJoinABraceOnlyOnDoubleByteCodePages) {
    EXPECT_TRUE(HoldsLeadByte("a\x81}", 3, 932));
    EXPECT_FALSE(HoldsLeadByte("a\0\x81", 3, 932)) << "read only up to the NUL";
    EXPECT_FALSE(HoldsLeadByte("a\x81", 1, 932)) << "read only up to the size";
    EXPECT_FALSE(HoldsLeadByte(kHungarian, sizeof kHungarian, 1250));
    EXPECT_FALSE(HoldsLeadByte("\xC3\xA1}", 3, CP_UTF8));
}

} // namespace
