// The table of the maker's devices found by the last walk. Devices are addressed by
// their index, which is stable only between two walks.
#pragma once

#include <cstdint>

#include "usb/link.h"

inline constexpr int USB_MAX_DEVICES = 8;
inline constexpr int USB_MAX_INTERFACES = 127;  // interfaces past this index are never examined
inline constexpr int USB_PATH_CAPACITY = 256;   // 255 characters and the terminator

struct UsbGuid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}
inline constexpr UsbGuid GUID_DEVINTERFACE_USBPRINT = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

struct UsbDeviceEntry {
    char path[USB_PATH_CAPACITY];  // interface path; the pipe open appends to it in place
    UsbHandle handle;              // open pipe, or USB_INVALID_HANDLE
    char productId[20];            // the four characters after "pid" and a separator
    uint8_t portNumber;            // low byte of the printer port number
};

struct UsbDeviceTable {
    UsbDeviceEntry entries[USB_MAX_DEVICES];
    int32_t count;
    UsbGuid interfaceClass;
};

extern UsbDeviceTable g_usbDevices;

// The maker's vendor id, four lower-case hexadecimal digits, chosen at build time.
extern const char USB_VENDOR_ID[5];

// Rebuilds the table from the present interfaces and returns the number of devices.
int UsbEnumDevices();

// Entry i, or nullptr when i is not below the count.
UsbDeviceEntry* UsbGetDevicePath(int32_t i);
