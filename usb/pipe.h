// Pipe I/O on the entries of the device table. Every operation addresses a device by its
// table index; reads and writes open a closed pipe on demand.
#pragma once

#include <cstdint>

#include "usb/link.h"

inline constexpr char USB_PIPE_NAME[] = "pipe01";
extern const char USB_VENDOR_MARKER[9];  // "vid_" and the four digits of USB_VENDOR_ID

extern uint32_t g_usbReadTimeoutMs;         // 50 at start; each exchange sets its own
extern const uint32_t g_usbWriteTimeoutMs;  // 30

// Appends a backslash and pipeName to entry i's path when a name is given (the empty one
// too), then opens the path if characters 8 to 15 are USB_VENDOR_MARKER. Returns the
// handle now stored in the entry, or USB_INVALID_HANDLE.
UsbHandle UsbOpenPipe(int32_t device, const char* pipeName);

// Writes *length bytes; on success *length holds the bytes written. Nonzero on success.
int UsbWrite(int32_t device, const void* buffer, uint32_t* length);

// Reads one reply of at most *length bytes within the read time-out; on success *length
// holds the bytes read. Nonzero on success.
int UsbRead(int32_t device, void* buffer, uint32_t* length);

// Closes entry i's pipe and marks it closed, whatever the platform's close says.
int UsbClose(int32_t device);

// Sets how long the next reads wait for their reply, in milliseconds.
void UsbSetReadTimeout(uint32_t ms);
