#include "cli/device.h"

#include <cstring>

#include "base/clock.h"
#include "base/fixed_text.h"
#include "protocol/commands.h"
#include "protocol/device_label.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"

int CliDevices::Walk() {
    CloseAll();
    m_count = UsbEnumDevices();
    for (bool& named : m_named) named = false;
    return m_count;
}

void CliDevices::Name(int index) {
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, index);
    // The first open appends the pipe name; later ones open the path as it is.
    UsbOpenPipe(index, m_named[index] ? nullptr : USB_PIPE_NAME);
    m_named[index] = true;
}

std::string CliDevices::Port(int index) const {
    char port[8];
    base::TextFormat(port, sizeof port, "USB%03d", UsbGetDevicePath(index)->portNumber);
    return port;
}

std::string CliDevices::ProductId(int index) const { return UsbGetDevicePath(index)->productId; }

std::string CliDevices::Label(int index) {
    char reply[PKT_STATUS_MAX + 1];
    m_named[index] = true;  // the label's query appended the pipe name
    return CmdDeviceLabel(index, reply);
}

void CliDevices::Address(int index) { Name(index); }

void CliDevices::CloseAll() {
    for (int i = 0; i < m_count; ++i) UsbClose(i);
}

bool CliRead(int32_t cmdId, int32_t timeoutMs, std::vector<uint8_t>* reply) {
    reply->assign(PKT_STATUS_MAX + 1, 0);
    uint32_t n = CmdTransact(cmdId, reply->data(), 0, nullptr, timeoutMs);
    reply->resize(n);
    return n != 0;
}

bool CliReadText(int32_t cmdId, std::string* text) {
    std::vector<uint8_t> reply;
    if (!CliRead(cmdId, CMD_TIMEOUT_MS, &reply)) return false;
    const char* s = reinterpret_cast<const char*>(reply.data());
    text->assign(s, base::TextLength(s, reply.size()));
    return true;
}

bool CliSendText(int32_t cmdId, const std::string& text) {
    bool sent = false;
    CmdTransact(cmdId, nullptr, static_cast<uint32_t>(text.size()) + 1, text.c_str(),
                CMD_TIMEOUT_MS, &sent);
    return sent;
}

bool CliWaitDone(int32_t settleMs, int32_t totalMs, const std::function<void(uint32_t)>& tick) {
    uint32_t start = base::GetTickCount();
    for (;;) {
        base::Sleep(CMD_POLL_PERIOD_MS);
        uint32_t waited = base::GetTickCount() - start;
        if (waited > static_cast<uint32_t>(totalMs)) return false;
        if (tick) tick(waited / 1000);
        uint8_t status[PKT_STATUS_MAX];
        if (CmdTransact(CMD_POLL_DONE, status, 0, nullptr, CMD_TIMEOUT_MS) != 0 && status[0] != 0)
            break;
    }
    base::Sleep(static_cast<uint32_t>(settleMs + CMD_WAIT_PAUSE_MS));
    return true;
}

bool CliReadIpConfig(int32_t cmdId, CliIpConfig* out) {
    std::string text;
    if (!CliReadText(cmdId, &text)) return false;
    CliIpConfig parsed;
    if (!ParseIpConfigText(text.c_str(), &parsed.flags, &parsed.state)) return false;
    *out = parsed;
    return true;
}
