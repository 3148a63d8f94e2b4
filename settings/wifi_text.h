// The WiFi connect text, and the status word the device reports after a connect.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr uint32_t WIFI_ST_PASSWORD_MISMATCH = 0x08;
inline constexpr uint32_t WIFI_ST_CONNECT_ERROR = 0x10;
inline constexpr uint32_t WIFI_ST_SSID_NOT_FOUND = 0x04;

inline constexpr size_t WIFI_NAME_CAPACITY = 64;  // a picked name is at most 63 bytes
inline constexpr size_t WIFI_PASSWORD_MAX = 32;   // characters the password edit takes
inline constexpr size_t WIFI_CONNECT_CAPACITY = 256;

// "%d,%02d,%02d,%s,%s": the row's stored-profile bit, the byte lengths of name and
// password, the name as received and the password as typed. False when it would not fit.
bool BuildConnectText(char* out, size_t cap, int32_t rowFlags, const char* name,
                      const char* password);

// Reads the status reply as a hexadecimal number; false (and *status unchanged) when the
// text does not begin with one, or with one that does not fit 32 bits.
bool ParseWifiStatus(const char* text, uint32_t* status);

// The message for the first status bit set, in the order they are tested, or nullptr
// when the join succeeded.
const char* WifiStatusMessage(uint32_t status);
