// --sim: the demo's two simulated devices in place of the USB devices, and the testing aids
// that only they honour (NETCFG_SIM_TEST, described in docs/cli.md). Nothing here is built
// into what runs against real devices.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/clock.h"
#include "programs/demo_devices.h"

class CliSim {
public:
    // Reads the testing aids from `test` (nullptr or empty: none). False, with `error` set,
    // when an item is not one of them.
    bool Configure(const char* test, std::string* error);
    UsbLink* Link() { return &m_demo->link; }
    // Writes the log of received requests, when one was asked for.
    bool Finish();

private:
    std::unique_ptr<base::ScopedVirtualClock> m_clock;
    std::unique_ptr<DemoDevices> m_demo;
    std::string m_log;
    uint32_t m_start = 0;
};
