// What both desktop programs do: open the display, install the wx backend and the icon,
// and run the application over the given USB link.
#pragma once

#include "usb/link.h"

// Returns the exit status; 1 when there is no display to open.
int RunDesktopProgram(int argc, char** argv, UsbLink& link);
