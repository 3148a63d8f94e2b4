// The Linux backend of the USB link: the kernel's USB printer driver gives each printer
// interface a usbmisc node lpN, found in sysfs and opened as /dev/usb/lpN.
//
// Each interface is named like the other platform names it,
//   \\?\usb#vid_vvvv&pid_pppp#<instance>#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}
// with lower-case hexadecimal ids, so the neutral walk and marker check work unchanged.
// The instance is the device's serial, or its bus-port path (1-1.4) when it has none that
// is safe in a path or another node of the walk already uses it. The port number is N.
#pragma once

#include <poll.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "usb/link.h"

class LinuxUsbLink : public UsbLink {
public:
    // Everything that waits goes through poll; time is base::GetTickCount. Tests pass a
    // poll that never blocks and advances a virtual clock instead.
    using PollFn = std::function<int(pollfd*, nfds_t, int)>;
    // write(2) by default; tests pass one that takes nothing, as no file they can make does.
    using WriteFn = std::function<ssize_t(int, const void*, size_t)>;
    // read(2) by default; the fuzz target hands over its input in pieces of its choosing.
    using ReadFn = std::function<ssize_t(int, void*, size_t)>;

    explicit LinuxUsbLink(std::string sysfsRoot = "/sys", std::string devRoot = "/dev",
                          PollFn pollFn = nullptr, WriteFn writeFn = nullptr,
                          ReadFn readFn = nullptr);

    // Discovery reads sysfs only: the driver allows one open of a node at a time, and
    // that one belongs to whoever is talking to the device.
    bool BeginWalk() override;
    void EndWalk() override {}
    UsbIface Interface(int index, std::string* path, uint32_t* portNumber) override;

    // Opens the node the last walk named with this path; whatever the pipe layer
    // appended after it (a backslash and a pipe name, any number of times) is ignored.
    UsbHandle Open(const char* path) override;
    bool Close(UsbHandle handle) override;

    // Gathers one reply, whose length stands in its bytes 1 and 2, over as many reads as
    // the driver needs (it hands over at most 1024 bytes at a time).
    UsbIo Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) override;

    // Drops what earlier exchanges left unread, then writes and waits until the driver
    // has taken the whole request.
    UsbIo Write(UsbHandle handle, const void* buffer, uint32_t* length,
                uint32_t timeoutMs) override;

    // A write leaves nothing of ours pending: what the driver had not taken by the time-out
    // is never handed to it. A transfer it took and has not finished cannot be called back
    // short of closing the node; the next write waits for it within its own time-out.
    void CancelWrite(UsbHandle) override {}

private:
    struct Node {
        UsbIface kind;  // Found or Skip
        std::string path;
        uint32_t number;
    };
    enum class Wait { Ready, TimedOut, Gone };

    Node ReadNode(uint32_t number, bool bySerial) const;
    Wait WaitFor(int fd, short events, uint32_t start, uint32_t timeoutMs);
    void DiscardInput(int fd);

    std::string m_sysfs;
    std::string m_dev;
    PollFn m_poll;
    WriteFn m_write;
    ReadFn m_read;
    std::vector<Node> m_nodes;  // the last walk, in numeric order of N
};
