// Diagnostics: one line on standard output per fault, ending in "Error!!!". They are for
// whoever runs the program from a terminal, not messages for the user, and the format is
// always one of ours: device text only ever appears as an argument.
#pragma once

namespace base {

void Diag(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace base
