// The device commands the tool issues, and their reply time-outs.
#pragma once

#include <cstdint>

enum : int32_t {
    CMD_QUERY_INFO = 11,
    CMD_QUERY_EXTRA_ALT = 19,
    CMD_QUERY_EXTRA = 20,
    CMD_GET_ETH_IPCFG = 21,
    CMD_GET_WIFI_IPCFG = 22,
    CMD_SET_ETH_IPCFG = 23,
    CMD_SET_WIFI_IPCFG = 24,
    CMD_GET_COUNTRY_LIST = 25,
    CMD_SET_COUNTRY = 26,
    CMD_SCAN_WIFI = 27,
    CMD_CONNECT_WIFI = 28,
    CMD_GET_SSID = 30,
    CMD_DELETE_PROFILE = 31,
    CMD_POLL_DONE = 32,
    CMD_GET_WIFI_STATUS = 42,
};

inline constexpr int32_t CMD_IDENTITY_TIMEOUT_MS = 500;
inline constexpr int32_t CMD_TIMEOUT_MS = 5000;
inline constexpr int32_t CMD_SCAN_TIMEOUT_MS = 30000;

// The completion wait that follows a change: CMD_POLL_DONE every CMD_POLL_PERIOD_MS until
// the device reports done or the total passes; a join is given time to settle after done,
// and every wait ends with a short pause before the read-back.
inline constexpr int32_t CMD_POLL_PERIOD_MS = 500;
inline constexpr int32_t CMD_WAIT_TOTAL_MS = 60000;  // IP configuration and country
inline constexpr int32_t CMD_CONNECT_WAIT_TOTAL_MS = 120000;
inline constexpr int32_t CMD_CONNECT_SETTLE_MS = 3000;
inline constexpr int32_t CMD_WAIT_PAUSE_MS = 500;
