// The three pipe operations the command exchange needs. Each addresses a device by its
// index in the device table; the pipe is opened on demand.
#pragma once

#include <cstdint>

// Writes *length bytes; on success *length holds the bytes written. Nonzero on success.
int UsbWrite(int32_t device, const void* buffer, uint32_t* length);

// Reads one reply of at most *length bytes within the read time-out; on success *length
// holds the bytes read. Nonzero on success.
int UsbRead(int32_t device, void* buffer, uint32_t* length);

// Sets how long the next reads wait for their reply, in milliseconds.
void UsbSetReadTimeout(uint32_t ms);
