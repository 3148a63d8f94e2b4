// The seam between the USB layer and the platform. The walk and the pipe rules (path
// append, vendor marker check, open on demand, fixed time-outs, the write time-out
// notice) live in the neutral code; a backend only answers these few questions.
#pragma once

#include <cstdint>
#include <string>

using UsbHandle = intptr_t;
inline constexpr UsbHandle USB_INVALID_HANDLE = -1;

enum class UsbIface {
    Found,  // path and port number are filled in
    Skip,   // this interface could not be read; the walk goes on
    End,    // no interface at this index or after it
};

enum class UsbIo {
    Done,
    Failed,    // the operation failed at once, or the device went away
    TimedOut,  // not complete within the time-out; a read is cancelled before returning
};

class UsbLink {
public:
    virtual ~UsbLink() = default;

    // Opens the set of present printer-class interfaces for one walk; false when it
    // cannot be had. EndWalk releases it.
    virtual bool BeginWalk() = 0;
    virtual void EndWalk() = 0;

    // Interface `index` of the walk. On Found, *path holds the interface path as the
    // platform names it and *portNumber the printer port number (left at 0 when it
    // cannot be read).
    virtual UsbIface Interface(int index, std::string* path, uint32_t* portNumber) = 0;

    virtual UsbHandle Open(const char* path) = 0;
    virtual bool Close(UsbHandle handle) = 0;

    // Reads one whole reply of at most *length bytes within timeoutMs; *length is set to
    // the bytes read.
    virtual UsbIo Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) = 0;

    // Writes one whole request within timeoutMs; *length is set to the bytes written.
    // On TimedOut the write may still be pending until CancelWrite.
    virtual UsbIo Write(UsbHandle handle, const void* buffer, uint32_t* length,
                        uint32_t timeoutMs) = 0;

    // Ends a write that timed out; returns once it can no longer complete.
    virtual void CancelWrite(UsbHandle handle) = 0;
};

// The backend every USB operation goes to; nullptr means none (every walk finds nothing,
// every open fails).
void UsbSetLink(UsbLink* link);
UsbLink* UsbGetLink();

// Shows a notice to the user and returns when it was dismissed. The application sets a
// message box here; with none set, nothing is shown.
using UsbNoticeFn = void (*)(const char* text);
void UsbSetNoticeFn(UsbNoticeFn fn);
