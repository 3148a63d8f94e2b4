// The demo's devices: two simulated devices behind a simulated USB link.
#pragma once

#include "devsim/device.h"
#include "usb/sim/sim_link.h"

// On ports 1 and 2. The second one's identity differs, so the device list shows two
// labels.
class DemoDevices {
public:
    DemoDevices();
    DemoDevices(const DemoDevices&) = delete;
    DemoDevices& operator=(const DemoDevices&) = delete;

    devsim::Device first;
    devsim::Device second;
    SimUsbLink link;
};
