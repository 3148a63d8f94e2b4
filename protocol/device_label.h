// The one-line label of a device of the last walk, as the device list shows it:
// "USB001 PID:1234 <info> <extra>", from the entry and the identity commands.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/packet.h"

// Names device `device` for the protocol (every later exchange goes to it), opens its
// pipe with the pipe name, asks the identity commands with their short time-out into
// `reply` (PKT_STATUS_MAX + 1 bytes) and closes the pipe. An identity text is cut to 126
// characters; one that fails is left out. Empty for no such device.
std::string CmdDeviceLabel(int32_t device, char* reply);
