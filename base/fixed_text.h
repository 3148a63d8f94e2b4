// Bounded writes into the fixed-size character fields the tool keeps (paths, names,
// reply texts). Every helper always leaves the field terminated, never writes past its
// capacity, and returns false when it had to cut the text.
#pragma once

#include <cstdarg>
#include <cstddef>

namespace base {

// Copies src into dst (capacity cap bytes, terminator included).
bool TextCopy(char* dst, size_t cap, const char* src);

// Copies at most n bytes of src, stopping early at a NUL; for texts that are not
// terminated inside the bytes we may read (device replies).
bool TextCopyN(char* dst, size_t cap, const char* src, size_t n);

// Appends src to the text already in dst.
bool TextAppend(char* dst, size_t cap, const char* src);

// printf-style formatting into dst. The format must be a literal of ours, never device text.
bool TextFormat(char* dst, size_t cap, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
bool TextFormatV(char* dst, size_t cap, const char* fmt, va_list args)
    __attribute__((format(printf, 3, 0)));

// Length of the text at s, but never looking at more than n bytes.
size_t TextLength(const char* s, size_t n);

// Equality that ignores the case of ASCII letters (what the list controls' exact-match
// search does); other bytes compare as they are.
bool TextEqualNoCase(const char* a, const char* b);

// Array forms: the capacity is the array's size, so it cannot be given wrong.
template <size_t N>
bool TextCopy(char (&dst)[N], const char* src) {
    return TextCopy(dst, N, src);
}
template <size_t N>
bool TextAppend(char (&dst)[N], const char* src) {
    return TextAppend(dst, N, src);
}

}  // namespace base
