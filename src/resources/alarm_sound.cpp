#include "resources/alarm_sound.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace resources {
namespace {

constexpr std::uint32_t kRate = 22050;
constexpr std::uint32_t kDataBytes = 106524;
constexpr std::uint32_t kFileBytes = 44 + kDataBytes;

// Bursts of four short beeps, like a bedside alarm clock: insistent enough to
// be heard over a page turn, soft-edged so that it does not click.
constexpr double kToneHz = 1760.0;
constexpr double kBeepSeconds = 0.085;
constexpr double kGapSeconds = 0.045;
constexpr double kCycleSeconds = 0.6;
constexpr int kBeepsPerBurst = 4;
constexpr double kEdgeSeconds = 0.006;

double envelope(double t) {
    double cycle = std::fmod(t, kCycleSeconds);
    double slot = kBeepSeconds + kGapSeconds;
    int beep = static_cast<int>(cycle / slot);
    if (beep >= kBeepsPerBurst) return 0.0;
    double inBeep = cycle - beep * slot;
    if (inBeep >= kBeepSeconds) return 0.0;
    double edge = std::min(inBeep, kBeepSeconds - inBeep) / kEdgeSeconds;
    return std::min(edge, 1.0);
}

void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void put16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

std::array<std::uint8_t, kFileBytes> makeWave() {
    std::array<std::uint8_t, kFileBytes> w{};
    std::uint8_t* p = w.data();
    std::copy_n("RIFF", 4, p);
    put32(p + 4, kFileBytes - 8);
    std::copy_n("WAVEfmt ", 8, p + 8);
    put32(p + 16, 16);     // fmt chunk size
    put16(p + 20, 1);      // PCM
    put16(p + 22, 1);      // mono
    put32(p + 24, kRate);  // samples per second
    put32(p + 28, kRate);  // bytes per second
    put16(p + 32, 1);      // block alignment
    put16(p + 34, 8);      // bits per sample
    std::copy_n("data", 4, p + 36);
    put32(p + 40, kDataBytes);
    // The last half second stays quiet so the sound fades out, not cuts off.
    const double soundSeconds = 4.8 - 0.5;
    for (std::uint32_t i = 0; i < kDataBytes; ++i) {
        double t = static_cast<double>(i) / kRate;
        double a = t < soundSeconds ? envelope(t) : 0.0;
        double phase = 2.0 * std::numbers::pi * kToneHz * t;
        // A touch of the octave makes the tone brighter without harshness.
        double v = a * (0.8 * std::sin(phase) + 0.15 * std::sin(2.0 * phase));
        p[44 + i] = static_cast<std::uint8_t>(std::lround(128.0 + 110.0 * v));
    }
    return w;
}

}  // namespace

std::span<const std::uint8_t> alarmSound() {
    static const std::array<std::uint8_t, kFileBytes> wave = makeWave();
    return wave;
}

}  // namespace resources
