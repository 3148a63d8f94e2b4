// A USB backend whose printer-class interfaces are simulated devices. Time passes on the
// shared clock exactly as a real pipe would make it pass: a reply that never comes costs
// the read time-out, a late one its delay, a stalled write the write time-out. Like the
// Linux link, it drops up to 64 KB of input that nobody read before each write.
//
// Used from one thread at a time (the exchange lock sees to that in the programs).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "devsim/device.h"
#include "usb/link.h"

class SimUsbLink : public UsbLink {
public:
    // Presents `device` as the next printer-class interface of the maker, with the given
    // four-digit product id and port number (0: the interface's position, from 1).
    // Returns the interface's position in the walk while all are present.
    int Attach(devsim::Device& device, const char* productId = "0001", uint32_t portNumber = 0);
    // Presents a printer-class interface of another vendor; nothing answers behind it.
    int AttachForeign(const char* vendorId, const char* productId);
    // Presents an interface whose details cannot be read: the walk is told to skip it.
    int AttachUnreadable();

    // The path of attachment i as the walk reports it.
    std::string Path(int i) const;
    bool BeginWalk() override;
    void EndWalk() override;
    UsbIface Interface(int index, std::string* path, uint32_t* portNumber) override;
    UsbHandle Open(const char* path) override;
    bool Close(UsbHandle handle) override;
    UsbIo Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) override;
    UsbIo Write(UsbHandle handle, const void* buffer, uint32_t* length,
                uint32_t timeoutMs) override;
    void CancelWrite(UsbHandle handle) override;

private:
    struct Attached {
        devsim::Device* device;  // nullptr for another vendor's interface
        std::string path;
        uint32_t port;
        bool readable = true;
    };
    struct Pipe {
        size_t attached;
        uint32_t attachment;  // the device's attachment when the pipe was opened
    };

    // The device behind an open pipe, or nullptr when the pipe is unknown or its device
    // went away since it was opened (an unplug kills the handles of the old attachment).
    devsim::Device* Live(UsbHandle handle) const;

    std::vector<Attached> m_attached;
    std::vector<size_t> m_walk;  // the present interfaces, fixed when a walk begins
    std::map<UsbHandle, Pipe> m_pipes;
    UsbHandle m_nextHandle = 0x100;
};
