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
    bool walkOk = true, closeOk = true;
    UsbIo readResult = UsbIo::Done, writeResult = UsbIo::Done;
    UsbHandle nextHandle = 100;
    std::vector<std::string> log;  // "open <path>", "close 100", "read 100 50", ...

    void Log(const std::string& what, UsbHandle h, uint32_t ms = 0) {
        log.push_back(what + " " + std::to_string(h) + (ms ? " " + std::to_string(ms) : ""));
    }
    bool BeginWalk() override { return walkOk; }
    void EndWalk() override { log.push_back("end walk"); }
    UsbIface Interface(int index, std::string* path, uint32_t* portNumber) override {
        log.push_back("iface " + std::to_string(index));
        if (index >= static_cast<int>(ifaces.size())) return UsbIface::End;
        *path = ifaces[index].path;
        if (ifaces[index].port) *portNumber = ifaces[index].port;
        return ifaces[index].kind;
    }
    UsbHandle Open(const char* path) override {
        log.push_back(std::string("open ") + path);
        return nextHandle;
    }
    bool Close(UsbHandle h) override { return Log("close", h), closeOk; }
    UsbIo Read(UsbHandle h, void*, uint32_t*, uint32_t ms) override {
        return Log("read", h, ms), readResult;
    }
    UsbIo Write(UsbHandle h, const void*, uint32_t*, uint32_t ms) override {
        return Log("write", h, ms), writeResult;
    }
    void CancelWrite(UsbHandle h) override { Log("cancel", h); }
};

// The link every test of this program installs, with an empty table; notices land in its
// log too.
extern ScriptedLink g_link;
void ResetLink();

// An interface path of the platform's shape for the given vendor marker ("vid_xxxx").
std::string IfacePath(const std::string& marker, const char* pid, const char* instance);
