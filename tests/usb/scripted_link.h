// A UsbLink for the tests of the neutral USB code: plays back a list of interfaces and
// logs, in order, every question the neutral code asks of the platform.
#pragma once

#include <string>
#include <vector>

#include "usb/link.h"

struct ScriptedLink : UsbLink {
    struct Iface {
        UsbIface kind;
        std::string path;
        uint32_t port = 0;  // 0: the platform cannot tell, so it leaves the value alone
    };
    std::vector<Iface> ifaces;  // indexes past the end answer End
    bool walkOk = true;
    bool closeOk = true;
    UsbIo readResult = UsbIo::Done;
    UsbIo writeResult = UsbIo::Done;
    UsbHandle nextHandle = 100;
    std::vector<std::string> log;  // "open <path>", "close 100", "read 100 50", ...

    bool BeginWalk() override;
    void EndWalk() override { log.push_back("end walk"); }
    UsbIface Interface(int index, std::string* path, uint32_t* portNumber) override;
    UsbHandle Open(const char* path) override;
    bool Close(UsbHandle handle) override;
    UsbIo Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) override;
    UsbIo Write(UsbHandle handle, const void* buffer, uint32_t* length,
                uint32_t timeoutMs) override;
    void CancelWrite(UsbHandle handle) override;
};

// The link every test of this program installs; notices land in its log too.
extern ScriptedLink g_link;
void ResetLink();

// An interface path of the platform's shape for the given vendor marker ("vid_xxxx").
std::string IfacePath(const std::string& marker, const char* pid, const char* instance);
