// One serialized request/reply exchange with the addressed device.
#pragma once

#include <cstdint>
#include <semaphore>

#include "protocol/packet.h"

inline constexpr uint32_t CMD_APP_HEADER = 0x4442504B;  // 44 42 50 4B in every reply
inline constexpr char CMD_LETTER = 'Q';

// The largest payload a request may carry; CmdSend refuses anything longer.
inline constexpr uint32_t CMD_PAYLOAD_MAX = PKT_STATUS_MAX;
inline constexpr uint32_t CMD_REQUEST_CAPACITY =
    CMD_PAYLOAD_MAX + PKT_HEADER_MAX + PKT_REQUEST_OVERHEAD;

// A one-unit semaphore, created by the first CmdChannelInit.
struct CmdLock {
    std::binary_semaphore sem{1};
    bool created = false;
};

extern int32_t g_cmdDevice;
extern CmdLock g_cmdLock;
extern uint8_t g_cmdRequestBuf[CMD_REQUEST_CAPACITY];
extern uint8_t g_cmdReplyBuf[PKT_REPLY_MAX];

void CmdChannelInit(uint32_t appHeader, char letter, int32_t deviceIndex);

// Builds and writes one request. 0 when the payload does not fit (nothing is built then,
// so no sequence number is used) or the write failed.
int CmdSend(int32_t cmdId, uint32_t payloadLen, const void* payload);

// Reads and validates one reply; copies its status bytes to dst when given (dst holds
// PKT_STATUS_MAX bytes). Returns the number of status bytes, 0 on any failure.
uint32_t CmdReceive(uint8_t* dst, int32_t timeoutMs);

// CmdSend then CmdReceive, under the lock. Returns the status length, 0 on failure or an
// empty status. An exchange started on a thread that is already inside one is refused
// with 0 at once: waiting would deadlock on our own lock. *sent, when given, tells whether
// the request was written, that is whether the device may have it.
uint32_t CmdTransact(int32_t cmdId, void* dst, uint32_t payloadLen, const void* payload,
                     int32_t timeoutMs, bool* sent = nullptr);

// True while this thread is inside CmdTransact (for instance when a modal notice shown by
// the pipe layer dispatches timers).
bool CmdInExchange();
