// Bytes to what the controls show and back.
#include <cstdint>
#include <string>

#include "ui/win32/win32_backend.h"

namespace ui::win32 {
namespace {

// 0x80..0x9F of Windows-1252; the five it leaves undefined keep their own value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The code point of the UTF-8 sequence at s[i] (advancing i), or -1 where it is not
// valid UTF-8 (overlong forms, surrogates and values past U+10FFFF included).
long DecodeUtf8(const std::string& s, size_t& i) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) return ++i, c;
    int n = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (n == 0 || c > 0xF4 || s.size() - i <= static_cast<size_t>(n)) return -1;
    long cp = c & (0x3F >> n);
    for (int k = 1; k <= n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return -1;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static const long kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
    i += n + 1;
    return cp;
}

void PutUtf16(std::wstring& out, long cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<wchar_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
    }
}

}  // namespace

std::wstring Readable(const std::string& bytes) {
    std::wstring utf;
    for (size_t i = 0; i < bytes.size();) {
        long cp = DecodeUtf8(bytes, i);
        if (cp < 0) {
            // Not UTF-8: every byte is a Windows-1252 character.
            std::wstring cp1252;
            for (unsigned char c : bytes) {
                cp1252.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
            }
            return cp1252;
        }
        PutUtf16(utf, cp);
    }
    return utf;
}

std::string Utf8(const std::wstring& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        long cp = static_cast<uint16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() &&
            (text[i + 1] & 0xFC00) == 0xDC00) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // a lone surrogate
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

}  // namespace ui::win32
