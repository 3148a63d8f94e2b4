#include "programs/demo_devices.h"

DemoDevices::DemoDevices() {
    devsim::DeviceState& s = second.State();
    s.info = "Quillo R7 Network Module (lab)";
    s.extraAlt = "FW 1.01.01";
    s.eth.dhcp = 0;
    s.eth.staticSet = {"10.0.0.20", "255.255.255.0", "10.0.0.1"};
    s.joined = "Office-5G";
    link.Attach(first, "0001", 1);
    link.Attach(second, "0002", 2);
}
