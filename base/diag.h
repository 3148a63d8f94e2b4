// Diagnostics: one line on standard output per fault, ending in "Error!!!". They are for
// whoever runs the program from a terminal, not messages for the user, and the format is
// always one of ours: device text only ever appears as an argument.
#pragma once

#include <cstdio>

namespace base {

void Diag(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Where the lines go: standard output unless a program whose standard output is data (the
// command-line program's JSON) sends them elsewhere. Returns the file used before.
FILE* SetDiagFile(FILE* file);

}  // namespace base
