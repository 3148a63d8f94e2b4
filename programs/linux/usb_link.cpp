#include "programs/desktop.h"
#include "usb/linux/linux_link.h"

std::unique_ptr<UsbLink> NewPlatformUsbLink() { return std::make_unique<LinuxUsbLink>(); }
