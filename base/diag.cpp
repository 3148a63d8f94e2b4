#include "base/diag.h"

#include <cstdarg>
#include <cstdio>

namespace base {

namespace {
FILE* g_diagFile = nullptr;  // nullptr: standard output, whatever it is at the time
}  // namespace

FILE* SetDiagFile(FILE* file) {
    FILE* before = g_diagFile ? g_diagFile : stdout;
    g_diagFile = file;
    return before;
}

void Diag(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    FILE* f = g_diagFile ? g_diagFile : stdout;
    std::vfprintf(f, fmt, args);
    va_end(args);
    std::fflush(f);
}

}  // namespace base
