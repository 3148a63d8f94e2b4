#include "protocol/device_label.h"

#include "base/fixed_text.h"
#include "protocol/commands.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"

namespace {

constexpr size_t kLabelPart = 128;  // a blank, at most 126 characters of text, the NUL

}  // namespace

std::string CmdDeviceLabel(int32_t device, char* reply) {
    const UsbDeviceEntry* entry = UsbGetDevicePath(device);
    if (!entry) return {};
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, device);
    UsbOpenPipe(device, USB_PIPE_NAME);
    auto ask = [reply](int32_t cmdId) {
        uint32_t n = CmdTransact(cmdId, reply, 0, nullptr, CMD_IDENTITY_TIMEOUT_MS);
        reply[n] = '\0';  // a text sent without its terminator ends with the payload
        return n != 0;
    };
    char partA[kLabelPart] = "";
    char partB[kLabelPart] = "";
    if (ask(CMD_QUERY_INFO)) base::TextFormat(partA, sizeof partA, " %s", reply);
    if (ask(CMD_QUERY_EXTRA)) {
        // An empty text sends us to the alternative query.
        if (reply[0] != '\0' || ask(CMD_QUERY_EXTRA_ALT))
            base::TextFormat(partB, sizeof partB, " %s", reply);
    }
    UsbClose(device);
    char label[3 * kLabelPart + 32];
    base::TextFormat(label, sizeof label, "USB%03d PID:%s%s%s", entry->portNumber, entry->productId,
                     partA, partB);
    return label;
}
