#include <gtest/gtest.h>

#include "text/gbk.h"

using namespace text;

TEST(Gbk, KnownTextsHaveTheirCodePage936Bytes) {
    const std::pair<const char*, const char*> cases[] = {
        {"》", "\xA1\xB7"},
        {"：", "\xA3\xBA"},
        {"分钟-题量：", "\xB7\xD6\xD6\xD3-\xCC\xE2\xC1\xBF\xA3\xBA"},
        {"我的做题时间记录.txt",
         "\xCE\xD2\xB5\xC4\xD7\xF6\xCC\xE2\xCA\xB1\xBC\xE4\xBC\xC7"
         "\xC2\xBC.txt"},
        {"常规计时（单项）", "\xB3\xA3\xB9\xE6\xBC\xC6\xCA\xB1\xA3\xA8\xB5\xA5\xCF\xEE\xA3\xA9"},
        {"€", "\x80"},
        {"abc\r\n", "abc\r\n"},
    };
    for (auto [utf8, gbk] : cases) {
        EXPECT_EQ(utf8ToGbk(utf8), gbk) << utf8;
        EXPECT_EQ(gbkToUtf8(gbk), utf8) << utf8;
    }
}

TEST(Gbk, WhatGbkCannotHoldBecomesOneQuestionMarkEach) {
    EXPECT_EQ(utf8ToGbk("a😀b"), "a?b");
    EXPECT_EQ(utf8ToGbk("ก"), "?");               // Thai
    EXPECT_EQ(utf8ToGbk("x\xFFy"), "x?y");        // not UTF-8 at all
    EXPECT_EQ(utf8ToGbk("\xE4\xB8"), "??");       // cut-off sequence
    EXPECT_EQ(utf8ToGbk("\xC0\xAF"), "??");       // overlong '/'
    EXPECT_EQ(utf8ToGbk("\xED\xA0\x80"), "???");  // a lone surrogate
    EXPECT_EQ(gbkToUtf8("\xFF"), "?");
    EXPECT_EQ(gbkToUtf8("a\xB7"), "a?");  // lead byte without its trail
}

// Every double-byte code that code page 936 defines comes back as the same
// two bytes: nothing the diary holds is changed by a trip through the program.
TEST(Gbk, EveryDoubleByteCodeRoundTrips) {
    int defined = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
            std::string gbk(bytes, 2);
            std::string utf8 = gbkToUtf8(gbk);
            if (utf8.find('?') != std::string::npos) continue;  // not a character
            ++defined;
            ASSERT_EQ(utf8ToGbk(utf8), gbk) << std::hex << lead << " " << trail;
        }
    }
    // GB 2312's 7,445 characters and the GBK extensions: well over 21,000.
    EXPECT_GT(defined, 21000);
}
