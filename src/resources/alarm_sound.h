#pragma once
// The countdown's alarm: a WAVE built into the program (RIFF, PCM mono,
// 22,050 Hz, 8-bit unsigned, 106,568 bytes, about 4.83 s).

#include <cstdint>
#include <span>

namespace resources {

std::span<const std::uint8_t> alarmSound();

}  // namespace resources
