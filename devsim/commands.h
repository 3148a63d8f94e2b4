// The device's command table: one handler per command id. Adding a command is one entry
// in the table of commands.cpp and one handler.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "devsim/formats.h"
#include "devsim/state.h"

namespace devsim {

inline constexpr int32_t kCmdQueryInfo = 11;
inline constexpr int32_t kCmdQueryExtraAlt = 19;
inline constexpr int32_t kCmdQueryExtra = 20;
inline constexpr int32_t kCmdGetEthIpCfg = 21;
inline constexpr int32_t kCmdGetWifiIpCfg = 22;
inline constexpr int32_t kCmdSetEthIpCfg = 23;
inline constexpr int32_t kCmdSetWifiIpCfg = 24;
inline constexpr int32_t kCmdGetCountryList = 25;
inline constexpr int32_t kCmdSetCountry = 26;
inline constexpr int32_t kCmdScanWifi = 27;
inline constexpr int32_t kCmdConnectWifi = 28;
inline constexpr int32_t kCmdGetSsid = 30;
inline constexpr int32_t kCmdDeleteProfile = 31;
inline constexpr int32_t kCmdPollDone = 32;
inline constexpr int32_t kCmdGetWifiStatus = 42;

// The one change the device works on. It takes effect when its delay has passed; until
// then, and for ever after a change the device refused, the completion poll answers 0.
struct Change {
    enum class Phase { Idle, Running, Refused };
    Phase phase = Phase::Idle;
    uint32_t startedAt = 0;
    uint32_t delayMs = 0;
    std::function<void(DeviceState&)> apply;

    void Start(uint32_t now, uint32_t delay, std::function<void(DeviceState&)> fn);
    void Refuse();
    // Applies a running change whose delay has passed by `now`.
    void Settle(DeviceState& state, uint32_t now);
};

struct CommandContext {
    DeviceState& state;
    Change& change;
    std::string_view text;  // the request payload as text, up to its NUL
    uint32_t now;
    Status& status;        // the reply's status bytes; change commands leave it empty
    uint32_t& replyDelay;  // when the reply goes out, in ms after the request
};

using CommandHandler = void (*)(CommandContext&);

// The handler of a command id, or nullptr for an id the device does not know.
CommandHandler FindCommand(int32_t cmdId);

}  // namespace devsim
