#include "scripted_link.h"

#include "usb/device_table.h"
#include "usb/pipe.h"

ScriptedLink g_link;

void ResetLink() {
    UsbSetLink(&g_link);
    UsbSetNoticeFn([](const char* text) { g_link.log.push_back(std::string("notice ") + text); });
    g_link.ifaces.clear();
    UsbEnumDevices();  // an empty walk clears whatever an earlier test left in the table
    g_link = ScriptedLink();
}

std::string IfacePath(const std::string& marker, const char* pid, const char* instance) {
    return "\\\\?\\usb#" + marker + "&pid_" + pid + "#" + instance +
           "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
}
