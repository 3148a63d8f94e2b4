#include "protocol/transact.h"

#include <cstring>

#include "usb/pipe.h"

int32_t g_cmdDevice = 0;
CmdLock g_cmdLock;
uint8_t g_cmdRequestBuf[CMD_REQUEST_CAPACITY];
uint8_t g_cmdReplyBuf[PKT_REPLY_MAX];

namespace {
thread_local bool t_inExchange = false;
}

void CmdChannelInit(uint32_t appHeader, char letter, int32_t deviceIndex) {
    g_cmdAppHeader = appHeader;
    g_cmdLetter = letter;
    g_cmdDevice = deviceIndex;
    g_cmdLock.created = true;
}

int CmdSend(int32_t cmdId, uint32_t payloadLen, const void* payload) {
    if (payloadLen > CMD_PAYLOAD_MAX) return 0;
    uint32_t length = PacketBuild(g_cmdRequestBuf, cmdId, payloadLen, payload);
    return UsbWrite(g_cmdDevice, g_cmdRequestBuf, &length);
}

uint32_t CmdReceive(uint8_t* dst, int32_t timeoutMs) {
    std::memset(g_cmdReplyBuf, 0, sizeof g_cmdReplyBuf);
    UsbSetReadTimeout(static_cast<uint32_t>(timeoutMs));
    uint32_t length = sizeof g_cmdReplyBuf;
    if (!UsbRead(g_cmdDevice, g_cmdReplyBuf, &length)) return 0;
    if (!PacketCheck(g_cmdReplyBuf)) return 0;
    uint32_t status = GetBE(g_cmdReplyBuf + 12, 2);
    if (dst) std::memcpy(dst, g_cmdReplyBuf + 14, status);
    return status;
}

uint32_t CmdTransact(int32_t cmdId, void* dst, uint32_t payloadLen, const void* payload,
                     int32_t timeoutMs, bool* sent) {
    if (sent) *sent = false;
    if (t_inExchange) return 0;
    // Before the first CmdChannelInit there is no lock to take; the exchange then fails
    // at the pipe's vendor check because no device was ever set up.
    bool locked = g_cmdLock.created;
    if (locked) g_cmdLock.sem.acquire();
    t_inExchange = true;

    uint32_t result = 0;
    if (CmdSend(cmdId, payloadLen, payload)) {
        if (sent) *sent = true;
        result = CmdReceive(static_cast<uint8_t*>(dst), timeoutMs);
    }

    t_inExchange = false;
    if (locked) g_cmdLock.sem.release();
    return result;
}

bool CmdInExchange() { return t_inExchange; }
