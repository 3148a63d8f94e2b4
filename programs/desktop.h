// What the desktop programs need of their platform, one implementation each in linux/ and
// win32/: the entry that installs the platform's dialog backend and the program's icon and
// runs the application over a USB link, and the platform's own USB link.
#pragma once

#include <memory>

#include "usb/link.h"

// Returns the exit status; 1 when the platform's windowing cannot start (no display).
int RunDesktopProgram(int argc, char** argv, UsbLink& link);

// The USB printer interfaces of this machine (the Windows header and the dialog framework's
// do not meet in one file, so netcfg's main names no platform type).
std::unique_ptr<UsbLink> NewPlatformUsbLink();
