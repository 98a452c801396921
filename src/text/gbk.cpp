#include "text/gbk.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace text {
namespace {

constexpr unsigned kGbkCodePage = 936;

// Decodes one UTF-8 sequence at s[i]; advances i. Returns -1 when malformed
// (one byte is then consumed).
long nextCodePoint(std::string_view s, std::size_t& i) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
        ++i;
        return -1;
    }
    long cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (int k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static constexpr long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += len;
    return cp;
}

void appendUtf8(std::string& out, unsigned long cp) {
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
}

#ifdef _WIN32

// Windows' code page 936 also gives the GBK user-defined areas (and 0xFF)
// private-use characters; the POSIX table has none of them. The diary must
// come out byte for byte the same from both builds, so on Windows too they
// are characters GBK cannot hold.
bool isPrivateUse(unsigned long cp) {
    return cp >= 0xE000 && cp <= 0xF8FF;
}

// Both directions go one character at a time so that an unmappable character
// always becomes exactly one '?', as on POSIX.
bool encodeOne(unsigned long cp, std::string& out) {
    if (isPrivateUse(cp)) return false;
    wchar_t wide[2];
    int wlen = 1;
    if (cp >= 0x10000) {
        wide[0] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
        wide[1] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        wlen = 2;
    } else {
        wide[0] = static_cast<wchar_t>(cp);
    }
    char buf[8];
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide, wlen, buf, sizeof buf,
                                nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.append(buf, static_cast<std::size_t>(n));
    return true;
}

bool decodeOne(const char* bytes, int len, std::string& out) {
    wchar_t wide[4];
    int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes, len, wide, 4);
    if (n != 1 || isPrivateUse(static_cast<unsigned long>(wide[0]))) return false;
    appendUtf8(out, static_cast<unsigned long>(wide[0]));
    return true;
}

#else

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool convert(const char* in, std::size_t len, std::string& out) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[16];
        char* src = const_cast<char*>(in);
        char* dst = buf;
        std::size_t left = len, room = sizeof buf;
        if (iconv(cd_, &src, &left, &dst, &room) == static_cast<std::size_t>(-1) || left != 0) {
            return false;
        }
        out.append(buf, static_cast<std::size_t>(dst - buf));
        return true;
    }

  private:
    iconv_t cd_;
};

// CP936 rather than GBK: it also maps 0x80 to the euro sign, as Windows does.
bool encodeOne(unsigned long cp, std::string& out) {
    thread_local Converter toGbk("CP936", "UTF-8");
    std::string utf8;
    appendUtf8(utf8, cp);
    return toGbk.convert(utf8.data(), utf8.size(), out);
}

bool decodeOne(const char* bytes, int len, std::string& out) {
    thread_local Converter fromGbk("UTF-8", "CP936");
    return fromGbk.convert(bytes, static_cast<std::size_t>(len), out);
}

#endif

}  // namespace

std::string utf8ToGbk(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        long cp = nextCodePoint(utf8, i);
        // iconv "converts" the language tags (U+E0000…) to nothing: a character
        // must never vanish silently, nor differently on the two systems.
        const std::size_t before = out.size();
        if (cp < 0 || !encodeOne(static_cast<unsigned long>(cp), out) || out.size() == before) {
            out += '?';
        }
    }
    return out;
}

std::string gbkToUtf8(std::string_view gbk) {
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    for (std::size_t i = 0; i < gbk.size();) {
        auto c = static_cast<unsigned char>(gbk[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        // 0x80 is a character of its own in code page 936; 0xFF never is.
        if (c != 0x80 && c != 0xFF && i + 1 < gbk.size() && decodeOne(gbk.data() + i, 2, out)) {
            i += 2;
        } else if (c == 0x80 && decodeOne(gbk.data() + i, 1, out)) {
            i += 1;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

}  // namespace text
