#pragma once
// Every number and date the user sees, and the one number the user types,
// passes through these. Texts are UTF-8 inside the program.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/datetime.h"

namespace text {

std::string intToText(std::int32_t value);

// General format with 13 significant digits, exponent with at least three
// digits ("1e-005"), the same on every platform.
std::string realToText(double value);

DateTime currentDateTime();

// "2016年2月24日9时5分3秒"; trailing zero time fields are dropped.
std::string dateTimeToText(const DateTime& dt);

// Full-width forms folded on the GBK bytes, then a leading decimal integer
// that wraps modulo 2^32; 0 when there is none. Never fails.
std::int32_t textToInt(std::string_view utf8);

// The folding step alone, on GBK bytes.
std::string foldFullWidth(std::string_view gbk);

}  // namespace text
