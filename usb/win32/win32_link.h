// The Windows backend of the USB link: the printer-class device interfaces from SetupAPI,
// each one's "Port Number" from its registry key, and the device pipe as a file opened for
// overlapped I/O, every transfer waited for on an event with a time-out.
#pragma once

#include <cstdint>
#include <string>

#include "usb/link.h"
#include "usb/win32/win32_api.h"

class Win32UsbLink : public UsbLink {
public:
    explicit Win32UsbLink(const Win32Api& api = RealWin32Api());
    ~Win32UsbLink() override;
    Win32UsbLink(const Win32UsbLink&) = delete;
    Win32UsbLink& operator=(const Win32UsbLink&) = delete;

    bool BeginWalk() override;
    void EndWalk() override;
    // End at ERROR_NO_MORE_ITEMS; Skip for any other failure to enumerate or to fetch the
    // path. A "Port Number" that cannot be read leaves the port alone.
    UsbIface Interface(int index, std::string* path, uint32_t* portNumber) override;

    UsbHandle Open(const char* path) override;
    bool Close(UsbHandle handle) override;

    // One ReadFile of up to *length bytes: a message-mode pipe hands over a whole reply.
    UsbIo Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) override;
    // A write that times out stays pending, with its event, until CancelWrite.
    UsbIo Write(UsbHandle handle, const void* buffer, uint32_t* length,
                uint32_t timeoutMs) override;
    // Cancels the write that timed out and waits until the cancellation has completed, so
    // that the write record is free again.
    void CancelWrite(UsbHandle handle) override;

private:
    UsbIo Transfer(bool write, HANDLE file, void* buffer, uint32_t* length, uint32_t timeoutMs);
    void CancelAndWait(HANDLE file, OVERLAPPED* overlapped);
    void ReadPortNumber(SP_DEVICE_INTERFACE_DATA* iface, uint32_t* portNumber);

    Win32Api m_api;
    HDEVINFO m_set = INVALID_HANDLE_VALUE;  // the interface set of the walk in progress
    // One record for every read and one for every write: at most one of each is in flight.
    OVERLAPPED m_readOverlapped = {};
    OVERLAPPED m_writeOverlapped = {};
    HANDLE m_pendingWrite = nullptr;  // the file of a write that timed out, until cancelled
};
