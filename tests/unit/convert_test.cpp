#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "text/convert.h"
#include "text/gbk.h"

using namespace text;

TEST(IntToText, DecimalWithoutPaddingOrGrouping) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"},
        {7, "7"},
        {25, "25"},
        {-5, "-5"},
        {2147483647, "2147483647"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
    };
    for (auto [value, expected] : cases) EXPECT_EQ(intToText(value), expected) << value;
}

TEST(RealToText, ThirteenSignificantDigitsAndThreeDigitExponent) {
    const std::pair<double, const char*> cases[] = {
        {25.0, "25"},
        {0.0, "0"},
        {-0.0, "0"},
        {125.0, "125"},
        {25.5, "25.5"},
        {1.0 / 3.0, "0.3333333333333"},
        {2.0 / 3.0, "0.6666666666667"},
        {-7.25, "-7.25"},
        {0.0001, "0.0001"},
        {0.00001, "1e-005"},
        {1e13, "1e+013"},
        {9999999999999.0, "9999999999999"},
        {99999999999999.0, "1e+014"},
        {123456789012345.0, "1.234567890123e+014"},
        {1e-300, "1e-300"},
        {-2.5e-7, "-2.5e-007"},
        {9.99999999999999, "10"},
        {3600.0 * 60.0 + 59.0, "216059"},
    };
    for (auto [value, expected] : cases) EXPECT_EQ(realToText(value), expected) << value;
}

TEST(DateTimeToText, DropsTrailingZeroFieldsOnly) {
    const std::pair<DateTime, const char*> cases[] = {
        {{2016, 2, 24, 9, 5, 3}, "2016年2月24日9时5分3秒"},
        {{2016, 2, 24, 9, 5, 0}, "2016年2月24日9时5分"},
        {{2016, 2, 24, 9, 0, 0}, "2016年2月24日9时"},
        {{2016, 2, 24, 0, 0, 0}, "2016年2月24日"},
        {{2016, 12, 1, 0, 0, 9}, "2016年12月1日0时0分9秒"},
        {{2016, 12, 1, 0, 30, 0}, "2016年12月1日0时30分"},
        {{2016, 2, 24, 21, 0, 7}, "2016年2月24日21时0分7秒"},
    };
    for (const auto& [dt, expected] : cases) EXPECT_EQ(dateTimeToText(dt), expected);
}

TEST(CurrentDateTime, IsAPlausibleLocalTime) {
    DateTime now = currentDateTime();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
    EXPECT_TRUE(now.minute >= 0 && now.minute <= 59);
    EXPECT_TRUE(now.second >= 0 && now.second <= 60);
}

TEST(TextToInt, ReadsTheLeadingNumberOfFreeText) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"25", 25},
        {"   25", 25},
        {"\t25", 25},
        {"\r\n\v\f25", 25},
        {"+25", 25},
        {"-25", -25},
        {"0025", 25},
        {"25分钟", 25},
        {"30分", 30},
        {"2.9", 2},
        {"1.5", 1},
        {"1e3", 1},
        {"0x1A", 0},
        {"abc", 0},
        {"a25", 0},
        {"分钟25", 0},
        {"", 0},
        {"- 5", 0},
        {"--5", 0},
        {"+-5", 0},
        {"２５", 25},
        {"３０", 30},
        {"\u300025", 25},  // ideographic space
        {"－５", -5},
        {"＋２５", 25},
        {"～5", 0},  // a full-width tilde folds to '~', which is no sign
        {"★5", 0},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<std::int32_t>::min()},
        {"4294967296", 0},
        {"4294967297", 1},
        {"99999999999999999999", static_cast<std::int32_t>(1661992959u)},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"25😀", 25},  // outside GBK: folded to '?', which ends the number
    };
    for (auto [typed, expected] : cases) EXPECT_EQ(textToInt(typed), expected) << typed;
}

TEST(FoldFullWidth, WorksOnGbkBytes) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"\xA3\xB2\xA3\xB5", "25"},  // full-width digits
        {"\xA3\xAB\xA3\xAD", "+-"},  // full-width plus and minus
        {"\xA3\xA1\xA3\xFE", "!~"},  // the ends of the full-width ASCII row
        {"\xA1\xA1", " "},           // ideographic space
        {"\xA1\xAB", "~"},           // full-width tilde
        {"\xA1\xEE\xA1\xEF", "**"},  // white and black star
        {"\xB7\xD6", "\xB7\xD6"},    // 分 stays
        {"\xA3\xA0", "\xA3\xA0"},    // below the row stays
        {"12\xB7", "12"},            // a lone lead byte at the end is dropped
        {"\xA3", ""},
        {"a\xA3\x32"
         "5",
         "a\xA3\x32"
         "5"},  // a pair is a pair, trail below 0x80 included
    };
    for (const auto& c : cases) EXPECT_EQ(foldFullWidth(c.in), c.out);
}
