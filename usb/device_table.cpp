#include "usb/device_table.h"

#include <cstring>

#include "base/fixed_text.h"
#include "usb/pipe.h"

UsbDeviceTable g_usbDevices = {{}, 0, GUID_DEVINTERFACE_USBPRINT};
const char USB_VENDOR_ID[5] = NETCFG_USB_VENDOR_ID;

namespace {

// Clears the table; a pipe still open is closed first so that its handle does not leak
// (the Linux driver also allows only one open at a time).
void ClearTable() {
    UsbLink* link = UsbGetLink();
    for (UsbDeviceEntry& e : g_usbDevices.entries) {
        if (e.handle != USB_INVALID_HANDLE && link) link->Close(e.handle);
        std::memset(e.path, 0, sizeof e.path);
        std::memset(e.productId, 0, sizeof e.productId);
        e.portNumber = 0;
        e.handle = USB_INVALID_HANDLE;
    }
    g_usbDevices.count = 0;
}

// The four characters that start four after the first `key` in the path ("vid_1234"),
// or nullptr when the path has no such key or ends before them.
const char* FieldAfter(const char* path, const char* key) {
    const char* at = std::strstr(path, key);
    if (!at || base::TextLength(at, 8) < 8) return nullptr;
    return at + 4;
}

}  // namespace

int UsbEnumDevices() {
    ClearTable();
    UsbLink* link = UsbGetLink();
    if (!link || !link->BeginWalk()) return 0;

    int count = 0;
    std::string path;
    for (int index = 0; index < USB_MAX_INTERFACES && count < USB_MAX_DEVICES; ++index) {
        uint32_t port = 0;
        path.clear();
        UsbIface found = link->Interface(index, &path, &port);
        if (found == UsbIface::End) break;
        if (found == UsbIface::Skip) continue;
        if (path.size() >= USB_PATH_CAPACITY || path.find('\0') != std::string::npos) continue;

        UsbDeviceEntry& e = g_usbDevices.entries[count];
        std::memset(e.path, 0, sizeof e.path);  // a rejected interface may have left text here
        std::memcpy(e.path, path.data(), path.size());

        const char* vid = FieldAfter(e.path, "vid");
        if (!vid || std::memcmp(vid, USB_VENDOR_ID, 4) != 0) continue;
        const char* pid = std::strstr(e.path, "pid");
        if (!pid) continue;
        size_t avail = base::TextLength(pid, 8);  // "pid", a separator, four characters
        base::TextCopyN(e.productId, sizeof e.productId, pid + 4, avail > 4 ? avail - 4 : 0);
        e.portNumber = static_cast<uint8_t>(port);
        ++count;
    }
    link->EndWalk();
    g_usbDevices.count = count;
    return count;
}

UsbDeviceEntry* UsbGetDevicePath(int32_t i) {
    if (i < 0 || i >= g_usbDevices.count) return nullptr;
    return &g_usbDevices.entries[i];
}
