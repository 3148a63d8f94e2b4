#include "scripted_link.h"

#include "usb/device_table.h"
#include "usb/pipe.h"

ScriptedLink g_link;

namespace {
void Notice(const char* text) { g_link.log.push_back(std::string("notice ") + text); }
}  // namespace

void ResetLink() {
    UsbSetLink(&g_link);
    UsbSetNoticeFn(Notice);
    g_link.ifaces.clear();
    UsbEnumDevices();  // an empty walk clears whatever an earlier test left in the table
    g_link = ScriptedLink();
}

std::string IfacePath(const std::string& marker, const char* pid, const char* instance) {
    return "\\\\?\\usb#" + marker + "&pid_" + pid + "#" + instance +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}

bool ScriptedLink::BeginWalk() {
    log.push_back("begin walk");
    return walkOk;
}

UsbIface ScriptedLink::Interface(int index, std::string* path, uint32_t* portNumber) {
    log.push_back("iface " + std::to_string(index));
    if (index >= static_cast<int>(ifaces.size())) return UsbIface::End;
    const Iface& i = ifaces[index];
    *path = i.path;
    if (i.port) *portNumber = i.port;
    return i.kind;
}

UsbHandle ScriptedLink::Open(const char* path) {
    log.push_back(std::string("open ") + path);
    return nextHandle;
}

bool ScriptedLink::Close(UsbHandle handle) {
    log.push_back("close " + std::to_string(handle));
    return closeOk;
}

UsbIo ScriptedLink::Read(UsbHandle handle, void*, uint32_t*, uint32_t timeoutMs) {
    log.push_back("read " + std::to_string(handle) + " " + std::to_string(timeoutMs));
    return readResult;
}

UsbIo ScriptedLink::Write(UsbHandle handle, const void*, uint32_t*, uint32_t timeoutMs) {
    log.push_back("write " + std::to_string(handle) + " " + std::to_string(timeoutMs));
    return writeResult;
}

void ScriptedLink::CancelWrite(UsbHandle handle) {
    log.push_back("cancel " + std::to_string(handle));
}
