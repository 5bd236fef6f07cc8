#include "platform/text.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <cstdio>
#include <cstdint>

namespace platform {

double finiteSum(double a, double b) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    return std::clamp(a + b, -kLargest, kLargest);
}

double val(std::string_view t) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n')) ++i;
    bool neg = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
        neg = t[i] == '-';
        ++i;
    }
    // Accumulate in a long double from the digit text so that "0.1" is the same double
    // a compiler would give; strtod does that for us on a bounded copy.
    std::string digits;
    bool point = false, any = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (c >= '0' && c <= '9') {
            any = true;
            if (digits.size() < 400) digits += c;
        } else if (c == '.' && !point) {
            point = true;
            if (digits.size() < 400) digits += c;
        } else {
            break;
        }
    }
    if (!any) return 0.0;
    double v = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(v)) v = 1.7976931348623157e308;
    return neg ? -v : v;
}

std::string numText(double v) {
    if (v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    std::string s = buf;
    auto e = s.find('E');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string exp = e == std::string::npos ? "" : s.substr(e);
    if (mant.find('.') != std::string::npos) {
        while (!mant.empty() && mant.back() == '0') mant.pop_back();
        if (!mant.empty() && mant.back() == '.') mant.pop_back();
    }
    return mant + exp;
}

std::string formatFixed(double v, int intDigits, int decimals) {
    double scale = std::pow(10.0, decimals);
    double r = std::round(std::fabs(v) * scale) / scale; // half away from zero
    bool neg = v < 0 && r != 0;
    char buf[400];
    std::snprintf(buf, sizeof buf, "%0*.*f", intDigits + (decimals > 0 ? decimals + 1 : 0), decimals, r);
    return neg ? "-" + std::string(buf) : std::string(buf);
}

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

std::string replaceAll(std::string s, std::string_view what, std::string_view with) {
    if (what.empty()) return s;
    size_t pos = 0;
    while ((pos = s.find(what, pos)) != std::string::npos) {
        s.replace(pos, what.size(), with);
        pos += with.size();
    }
    return s;
}

std::string trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> out;
    size_t start = 0;
    for (;;) {
        size_t p = s.find(sep, start);
        out.push_back(s.substr(start, p == std::string_view::npos ? std::string_view::npos : p - start));
        if (p == std::string_view::npos) return out;
        start = p + 1;
    }
}

namespace {
// Decode one UTF-8 code point; invalid bytes are taken one by one as Latin-1.
uint32_t nextCp(std::string_view s, size_t& i) {
    auto b = static_cast<unsigned char>(s[i]);
    auto cont = [&](size_t k) { return i + k < s.size() && (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80; };
    if (b < 0x80) { ++i; return b; }
    if ((b & 0xE0) == 0xC0 && cont(1)) {
        uint32_t c = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3Fu);
        i += 2; return c;
    }
    if ((b & 0xF0) == 0xE0 && cont(1) && cont(2)) {
        uint32_t c = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 6) |
                     (static_cast<unsigned char>(s[i + 2]) & 0x3Fu);
        i += 3; return c;
    }
    if ((b & 0xF8) == 0xF0 && cont(1) && cont(2) && cont(3)) {
        uint32_t c = ((b & 0x07u) << 18) | ((static_cast<unsigned char>(s[i + 1]) & 0x3Fu) << 12) |
                     ((static_cast<unsigned char>(s[i + 2]) & 0x3Fu) << 6) | (static_cast<unsigned char>(s[i + 3]) & 0x3Fu);
        i += 4; return c;
    }
    ++i;
    return b;
}

// Base letter of a Latin-1 code point, lower case; other code points unchanged.
uint32_t fold(uint32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c < 0xC0 || c > 0xFF) {
        if (c == 0x152 || c == 0x153) return 'o'; // oe ligature
        return c;
    }
    static const char* map =
        "aaaaaaaceeeeiiii"   // C0-CF
        "dnooooo*ouuuuyts"   // D0-DF
        "aaaaaaaceeeeiiii"   // E0-EF
        "dnooooo/ouuuuyty";  // F0-FF
    char m = map[c - 0xC0];
    if (m == '*' || m == '/') return c;
    return static_cast<unsigned char>(m);
}
} // namespace

int compareForList(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        uint32_t ca = fold(nextCp(a, i)), cb = fold(nextCp(b, j));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool isUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<unsigned char>(s[i]);
        size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        if (n == 2 && b < 0xC2) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

namespace {
void appendUtf8(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 text after its byte order mark; a surrogate without its pair reads as U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    auto unit = [&](size_t i) -> uint32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}
} // namespace

std::string cp1252ToUtf8(std::string_view s) {
    static const uint16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    out.reserve(s.size() + s.size() / 4);
    for (char ch : s) {
        auto b = static_cast<unsigned char>(ch);
        appendUtf8(out, b < 0x80 ? b : (b < 0xA0 ? high[b - 0x80] : b));
    }
    return out;
}

std::string decodeTextFile(std::string_view bytes) {
    // Saved as UTF-16 by an editor: its mark tells the byte order (UTF-8 never holds
    // these two bytes).
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")
        return decodeTextFile(utf16ToUtf8(bytes.substr(2), bytes[0] == '\xFE'));
    std::string s;
    s.reserve(bytes.size());
    for (char c : bytes)
        if (c != '\0') s += c;
    std::string_view body = s;
    // Every leading mark goes, so that a first line can never begin with one and a
    // written file reads back the same.
    while (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
    if (isUtf8(body)) return std::string(body);

    std::string out;
    out.reserve(body.size() + body.size() / 8);
    while (!body.empty()) {
        const size_t end = std::min(body.find_first_of("\r\n"), body.size());
        const std::string_view line = body.substr(0, end);
        if (isUtf8(line)) out += line;
        else out += cp1252ToUtf8(line);
        out += body.substr(end, 1);
        body.remove_prefix(std::min(end + 1, body.size()));
    }
    return out;
}

std::string_view firstChars(std::string_view text, std::size_t n) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == n) return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

} // namespace platform
