#include <gtest/gtest.h>

#include <cstring>

#include "resources/alarm_sound.h"

namespace {
std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
}  // namespace

TEST(AlarmSound, IsAnEightBitMonoWaveOfTheDesignedSize) {
    auto w = resources::alarmSound();
    ASSERT_EQ(w.size(), 106568u);
    const std::uint8_t* p = w.data();
    EXPECT_EQ(std::memcmp(p, "RIFF", 4), 0);
    EXPECT_EQ(u32(p + 4), 106560u);
    EXPECT_EQ(std::memcmp(p + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(u32(p + 16), 16u);
    EXPECT_EQ(u16(p + 20), 1);  // PCM
    EXPECT_EQ(u16(p + 22), 1);  // mono
    EXPECT_EQ(u32(p + 24), 22050u);
    EXPECT_EQ(u32(p + 28), 22050u);
    EXPECT_EQ(u16(p + 32), 1);
    EXPECT_EQ(u16(p + 34), 8);
    EXPECT_EQ(std::memcmp(p + 36, "data", 4), 0);
    EXPECT_EQ(u32(p + 40), 106524u);
}

TEST(AlarmSound, IsAudibleBeepsWithSilenceBetweenThem) {
    auto w = resources::alarmSound();
    int loud = 0, quiet = 0, clipped = 0;
    for (std::size_t i = 44; i < w.size(); ++i) {
        int v = w[i] - 128;
        if (v > 60 || v < -60) ++loud;
        if (v == 0) ++quiet;
        if (w[i] == 0 || w[i] == 255) ++clipped;
    }
    EXPECT_GT(loud, 10000);   // a real tone, not a whisper
    EXPECT_GT(quiet, 30000);  // the gaps that make it a beep pattern
    EXPECT_EQ(clipped, 0);
}
