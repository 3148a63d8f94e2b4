// A Win32Api for the Windows backend's tests: SetupAPI and the registry scripted from a
// list of interfaces, CreateFileA of an interface's paths routed to the named pipe that
// serves it, and the rest the real functions, watched where the cases look.
#pragma once

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "usb/win32/win32_api.h"

struct FakeIface {
    std::string path = {};
    std::optional<uint32_t> port = {};  // the "Port Number" value; none: missing
    DWORD enumError = 0;                // SetupDiEnumDeviceInterfaces fails with it
    bool noDetail = false;              // the detail record cannot be fetched
    std::string pipe = {};              // the named pipe behind its paths
};

struct FakeWin32 {
    std::vector<FakeIface> ifaces;  // past the last: ERROR_NO_MORE_ITEMS
    bool noSet = false;             // SetupDiGetClassDevsA fails
    std::vector<std::string> log;   // the SetupAPI and registry calls, and every open
    std::vector<DWORD> waits;       // the time-out of every WaitForSingleObject
    int cancels = 0;
    std::set<HANDLE> events;       // created and not closed yet
    std::function<void()> onWait;  // runs once, before the next wait
    std::function<void()> onOpen;  // runs after each pipe was opened
};

extern FakeWin32* g_fake;
Win32Api FakeWin32Api();
