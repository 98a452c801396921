#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "text/gbk.h"

// The Linux build converts through iconv, the Windows build through the code
// page API. Both must give the same bytes for every text, or a diary written
// on one system would read differently on the other. Each build checks the
// whole mapping, in both directions, against the digest committed here; a
// build whose tables differ prints per-row digests to compare with the other.

namespace {

std::string utf8Of(std::uint32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

struct Digest {
    std::uint64_t value = 0xcbf29ce484222325ULL;  // FNV-1a
    void add(const std::string& bytes) {
        for (unsigned char c : bytes) value = (value ^ c) * 0x100000001b3ULL;
        value = (value ^ 0xFFu) * 0x100000001b3ULL;  // ends each result: "?" + "" ≠ "" + "?"
    }
};

std::string hex(std::uint64_t v) {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

bool isSurrogate(std::uint32_t cp) {
    return cp >= 0xD800 && cp <= 0xDFFF;
}

}  // namespace

// Every code point above ASCII, one at a time, to GBK. Rows of 4096 code
// points: 272 rows from U+0080 to U+10FFFF.
TEST(GbkSameBytes, EncodingOfEveryCodePointMatchesTheCommittedTable) {
    Digest all;
    std::string rows;
    for (std::uint32_t row = 0; row < 0x110; ++row) {
        Digest digest;
        for (std::uint32_t cp = std::max<std::uint32_t>(row << 12, 0x80); cp < (row + 1) << 12;
             ++cp) {
            if (isSurrogate(cp)) continue;
            const std::string gbk = text::utf8ToGbk(utf8Of(cp));
            digest.add(gbk);
            all.add(gbk);
        }
        rows += "U+" + hex(row << 12).substr(10) + " " + hex(digest.value) + "\n";
    }
    EXPECT_EQ(hex(all.value), "a95e55a1f7b4d35f") << "per-row digests of this build:\n" << rows;
}

// Every pair of bytes that starts above ASCII, to UTF-8. One row per lead byte.
TEST(GbkSameBytes, DecodingOfEveryBytePairMatchesTheCommittedTable) {
    Digest all;
    std::string rows;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        Digest digest;
        for (int trail = 0x00; trail <= 0xFF; ++trail) {
            const char bytes[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::string utf8 = text::gbkToUtf8(std::string(bytes, 2));
            digest.add(utf8);
            all.add(utf8);
        }
        rows += hex(static_cast<std::uint64_t>(lead)).substr(14) + " " + hex(digest.value) + "\n";
    }
    EXPECT_EQ(hex(all.value), "a3a08bab3e01a8a0") << "per-row digests of this build:\n" << rows;
}
