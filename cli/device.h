// The device side of the command-line program: the walk, the labels, the exchanges and
// the completion wait, on the USB and protocol layers only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "settings/ipcfg_text.h"

// The devices of one walk. Naming a device for the protocol appends the pipe name to its
// path, which must happen once per walk.
class CliDevices {
public:
    // Walks the present interfaces; returns the number of devices.
    int Walk();
    int Count() const { return m_count; }

    // The list label as the device list shows it: port, product id and the identity
    // texts, asked with the short identity time-out. Leaves no pipe open.
    std::string Label(int index);
    std::string Port(int index) const;
    std::string ProductId(int index) const;

    // Makes `index` the device every exchange goes to.
    void Address(int index);
    // Closes whatever pipe is open.
    void CloseAll();

private:
    void Name(int index);
    int m_count = 0;
    bool m_named[8] = {};
};

// A reading command's reply payload; false on a failed exchange or an empty reply.
bool CliRead(int32_t cmdId, int32_t timeoutMs, std::vector<uint8_t>* reply);
// The same, as a text up to its NUL (the end of the payload when it has none).
bool CliReadText(int32_t cmdId, std::string* text);
// Sends a change command with the text and its NUL. The reply is not used: the
// completion wait decides whether the change took effect. False when the request was not
// written, so the device cannot have it.
bool CliSendText(int32_t cmdId, const std::string& text);

// Polls CMD_POLL_DONE every poll period until the device reports done, then lets settleMs
// and the pause pass. False when totalMs passed first. `tick` is told the whole seconds
// waited so far, before each poll.
bool CliWaitDone(int32_t settleMs, int32_t totalMs, const std::function<void(uint32_t)>& tick);

// An interface's IP configuration as the device reports it.
struct CliIpConfig {
    int32_t flags = 0;
    IpCfgState state{};
    const IpAddrSet& InUse() const { return state.sets[state.dhcp ? 1 : 0]; }
    bool Locked() const { return (flags & IPCFG_LOCKED) != 0; }
};
bool CliReadIpConfig(int32_t cmdId, CliIpConfig* out);
