#include "usb/pipe.h"

#include <cstring>

#include "usb/device_table.h"

const char USB_VENDOR_MARKER[9] = "vid_" NETCFG_USB_VENDOR_ID;
uint32_t g_usbReadTimeoutMs = 50;
const uint32_t g_usbWriteTimeoutMs = 30;

namespace {

UsbLink* g_link = nullptr;
UsbNoticeFn g_notice = nullptr;

// Only the devices of the last walk: a slot past the count may still hold an interface
// the walk rejected (one of ours without a product id, say), which is no device to open.
UsbDeviceEntry* Entry(int32_t device) {
    if (device < 0 || device >= g_usbDevices.count) return nullptr;
    return &g_usbDevices.entries[device];
}

// The entry's open pipe, opening it on demand with the empty pipe name.
UsbHandle PipeFor(int32_t device) {
    UsbDeviceEntry* e = Entry(device);
    if (!e || !g_link) return USB_INVALID_HANDLE;  // a pipe opened before the link went away
    if (e->handle != USB_INVALID_HANDLE) return e->handle;
    return UsbOpenPipe(device, "");
}

// A pipe whose operation failed outright (the device went away, or was reset and came back
// as a new attachment) is dead: it is closed, so the next exchange opens it afresh instead
// of failing on it until the next walk.
UsbIo Dropped(int32_t device, UsbIo result) {
    if (result == UsbIo::Failed) UsbClose(device);
    return result;
}

}  // namespace

void UsbSetLink(UsbLink* link) { g_link = link; }
UsbLink* UsbGetLink() { return g_link; }
void UsbSetNoticeFn(UsbNoticeFn fn) { g_notice = fn; }

UsbHandle UsbOpenPipe(int32_t device, const char* pipeName) {
    UsbDeviceEntry* e = Entry(device);
    if (!e) return USB_INVALID_HANDLE;
    if (pipeName) {
        size_t used = strnlen(e->path, sizeof e->path);
        size_t add = 1 + std::strlen(pipeName);
        if (used + add >= sizeof e->path) return USB_INVALID_HANDLE;  // would not fit 255
        e->path[used] = '\\';
        std::memcpy(e->path + used + 1, pipeName, add);  // with its terminator
    }
    if (strnlen(e->path, sizeof e->path) < 16 ||
        std::memcmp(e->path + 8, USB_VENDOR_MARKER, 8) != 0)
        return USB_INVALID_HANDLE;
    // A pipe opened twice would otherwise leak its first handle, and the Linux driver
    // refuses a second open while the first is held.
    if (e->handle != USB_INVALID_HANDLE && g_link) g_link->Close(e->handle);
    e->handle = g_link ? g_link->Open(e->path) : USB_INVALID_HANDLE;
    return e->handle;
}

int UsbRead(int32_t device, void* buffer, uint32_t* length) {
    UsbHandle h = PipeFor(device);
    if (h == USB_INVALID_HANDLE) return 0;
    return Dropped(device, g_link->Read(h, buffer, length, g_usbReadTimeoutMs)) == UsbIo::Done;
}

int UsbWrite(int32_t device, const void* buffer, uint32_t* length) {
    UsbHandle h = PipeFor(device);
    if (h == USB_INVALID_HANDLE) return 0;
    UsbIo result = Dropped(device, g_link->Write(h, buffer, length, g_usbWriteTimeoutMs));
    if (result == UsbIo::TimedOut) {
        // Cancel first: the notice runs a modal loop in which a device refresh may close
        // this very handle, and no later write may start while this one is pending.
        g_link->CancelWrite(h);
        if (g_notice) g_notice("Write to USB Timeout");
    }
    return result == UsbIo::Done;
}

int UsbClose(int32_t device) {
    UsbDeviceEntry* e = Entry(device);
    if (!e) return 0;
    bool closed = e->handle != USB_INVALID_HANDLE && g_link && g_link->Close(e->handle);
    e->handle = USB_INVALID_HANDLE;
    return closed;
}

void UsbSetReadTimeout(uint32_t ms) { g_usbReadTimeoutMs = ms; }
