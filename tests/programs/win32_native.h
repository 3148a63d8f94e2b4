// What Windows itself says about the running program, for tests that cannot include
// <windows.h> beside the dialog framework's headers.
#pragma once

#include <string>

#include "ui/win32/win32_backend.h"

namespace native {

std::string Title(ui::win32::Hwnd window);
// The width of the window's big or small icon; 0 without one.
int IconWidth(ui::win32::Hwnd window, bool big);
int SystemIconWidth(bool big);
// The code page of the A functions.
unsigned CodePage();
// Where the common controls in use come from, in lower case.
std::string CommonControlsPath();

}  // namespace native
