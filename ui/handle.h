// How the framework names a backend's window (a dialog or one of its controls).
#pragma once

#include <cstdint>

namespace ui {

// Zero names no window. A backend never hands out the same value twice in a process, so a
// wrapper that still holds the handle of a destroyed control addresses nothing, safely.
using Handle = uint64_t;

}  // namespace ui
