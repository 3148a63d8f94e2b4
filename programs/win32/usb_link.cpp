#include "programs/desktop.h"
#include "usb/win32/win32_link.h"

std::unique_ptr<UsbLink> NewPlatformUsbLink() { return std::make_unique<Win32UsbLink>(); }
