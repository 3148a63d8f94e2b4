#include "cli/text_out.h"

#include <cstdint>

#include "base/fixed_text.h"

namespace {

// Length of the valid UTF-8 sequence at text[i], or 0.
size_t Utf8Length(std::string_view text, size_t i) {
    auto b = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    uint8_t c = b(i);
    size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (size_t k = 1; k < n; ++k)
        if ((b(i + k) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if (c == 0xE0 && b(i + 1) < 0xA0) return 0;
    if (c == 0xED && b(i + 1) >= 0xA0) return 0;
    if (c == 0xF0 && b(i + 1) < 0x90) return 0;
    if (c == 0xF4 && b(i + 1) >= 0x90) return 0;
    return n;
}

}  // namespace

std::string Shown(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        auto u = static_cast<uint8_t>(c);
        if (u < 0x20 || u == 0x7F) c = '?';
    }
    return out;
}

std::string Json(std::string_view text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<uint8_t>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char esc[8];
            base::TextFormat(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else if (c >= 0x80) {
            size_t n = Utf8Length(text, i);
            if (n == 0) {
                char esc[8];
                base::TextFormat(esc, sizeof esc, "\\u%04x", c);
                out += esc;
                ++i;
            } else {
                out.append(text.substr(i, n));
                i += n;
            }
            continue;
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    out += '"';
    return out;
}

size_t ShownWidth(std::string_view text) {
    size_t n = 0;
    for (char c : text)
        if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) ++n;  // one per character, not byte
    return n;
}

std::string Padded(std::string_view text, size_t width) {
    std::string out(text);
    size_t w = ShownWidth(text);
    if (w < width) out.append(width - w, ' ');
    return out;
}
