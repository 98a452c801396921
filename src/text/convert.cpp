#include "text/convert.h"

#include <charconv>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "text/gbk.h"

namespace text {

std::string intToText(std::int32_t value) {
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, end);
}

namespace {

void stripFractionZeros(std::string& s) {
    std::size_t point = s.find('.');
    if (point == std::string::npos) return;
    std::size_t last = s.find_last_not_of('0');
    s.erase(last == point ? point : last + 1);
}

}  // namespace

std::string realToText(double value) {
    if (value == 0.0) return "0";
    // to_chars rounds exactly and prints the same on every platform, unlike
    // printf's exponent, whose digit count differs between C libraries.
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 12);
    std::string sci(buf, end);                                     // [-]d.dddddddddddde[+-]dd
    if (sci.find_first_of("ni") != std::string::npos) return sci;  // inf, nan: unreachable here

    std::string sign;
    if (sci[0] == '-') {
        sign = "-";
        sci.erase(0, 1);
    }
    std::size_t e = sci.find('e');
    int exponent = std::atoi(sci.c_str() + e + 1);
    std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);  // 13 digits

    std::string out;
    if (exponent >= -4 && exponent < 13) {
        if (exponent >= 0) {
            out = digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
        } else {
            out = "0." + std::string(-exponent - 1, '0') + digits;
        }
        stripFractionZeros(out);
    } else {
        out = digits.substr(0, 1) + "." + digits.substr(1);
        stripFractionZeros(out);
        std::string expDigits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (expDigits.size() < 3) expDigits.insert(0, 3 - expDigits.size(), '0');
        out += std::string("e") + (exponent < 0 ? "-" : "+") + expDigits;
    }
    return sign + out;
}

DateTime currentDateTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string dateTimeToText(const DateTime& dt) {
    std::string s = std::to_string(dt.year) + "年" + std::to_string(dt.month) + "月" +
                    std::to_string(dt.day) + "日";
    if (dt.second != 0) {
        s += std::to_string(dt.hour) + "时" + std::to_string(dt.minute) + "分" +
             std::to_string(dt.second) + "秒";
    } else if (dt.minute != 0) {
        s += std::to_string(dt.hour) + "时" + std::to_string(dt.minute) + "分";
    } else if (dt.hour != 0) {
        s += std::to_string(dt.hour) + "时";
    }
    return s;
}

std::string foldFullWidth(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size());
    for (std::size_t i = 0; i < gbk.size(); ++i) {
        auto lead = static_cast<unsigned char>(gbk[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            continue;
        }
        if (i + 1 == gbk.size()) break;  // a lone lead byte at the end is dropped
        auto trail = static_cast<unsigned char>(gbk[++i]);
        if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
            out += static_cast<char>(trail - 0x80);
        } else if (lead == 0xA1 && trail == 0xA1) {
            out += ' ';
        } else if (lead == 0xA1 && trail == 0xAB) {
            out += '~';
        } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
            out += '*';
        } else {
            out += static_cast<char>(lead);
            out += static_cast<char>(trail);
        }
    }
    return out;
}

std::int32_t textToInt(std::string_view utf8) {
    std::string folded = foldFullWidth(utf8ToGbk(utf8));
    std::size_t i = 0;
    while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= 0x09 && folded[i] <= 0x0D))) ++i;
    bool negative = false;
    if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) {
        negative = folded[i] == '-';
        ++i;
    }
    // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
    std::uint32_t value = 0;
    for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
        value = value * 10u + static_cast<std::uint32_t>(folded[i] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

}  // namespace text
