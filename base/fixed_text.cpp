#include "base/fixed_text.h"

#include <cstdio>
#include <cstring>

namespace base {

size_t TextLength(const char* s, size_t n) {
    const void* nul = std::memchr(s, '\0', n);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - s) : n;
}

bool TextCopyN(char* dst, size_t cap, const char* src, size_t n) {
    if (cap == 0) return false;
    size_t len = TextLength(src, n);
    bool fits = len < cap;
    if (!fits) len = cap - 1;
    std::memmove(dst, src, len);
    dst[len] = '\0';
    return fits;
}

bool TextCopy(char* dst, size_t cap, const char* src) {
    return TextCopyN(dst, cap, src, std::strlen(src));
}

bool TextAppend(char* dst, size_t cap, const char* src) {
    if (cap == 0) return false;
    size_t used = TextLength(dst, cap);
    if (used == cap) {  // not terminated: repair rather than run past the field
        dst[cap - 1] = '\0';
        return false;
    }
    return TextCopy(dst + used, cap - used, src);
}

bool TextEqualNoCase(const char* a, const char* b) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (; *a && *b; ++a, ++b)
        if (fold(*a) != fold(*b)) return false;
    return *a == *b;
}

bool TextFormatV(char* dst, size_t cap, const char* fmt, va_list args) {
    if (cap == 0) return false;
    int n = std::vsnprintf(dst, cap, fmt, args);
    if (n < 0) {
        dst[0] = '\0';
        return false;
    }
    return static_cast<size_t>(n) < cap;
}

bool TextFormat(char* dst, size_t cap, const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    bool fits = TextFormatV(dst, cap, fmt, args);
    va_end(args);
    return fits;
}

}  // namespace base
