#include "settings/wifi_text.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/fixed_text.h"
#include "settings/scan_reply.h"

bool BuildConnectText(char* out, size_t cap, int32_t rowFlags, const char* name,
                      const char* password) {
    int hasProfile = (rowFlags & AP_HAS_PROFILE) ? 1 : 0;
    return base::TextFormat(out, cap, "%d,%02d,%02d,%s,%s", hasProfile,
                            static_cast<int>(std::strlen(name)),
                            static_cast<int>(std::strlen(password)), name, password);
}

bool ParseWifiStatus(const char* text, uint32_t* status) {
    // What "%lx" takes (blanks, a sign, 0x, hex digits), but checked before it narrows:
    // a word beyond 32 bits or a negative one is no status word.
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(text, &end, 16);
    if (end == text || errno == ERANGE || value > UINT32_MAX) return false;
    *status = static_cast<uint32_t>(value);
    return true;
}

const char* WifiStatusMessage(uint32_t status) {
    static const struct {
        uint32_t bit;
        const char* message;
    } kOrder[] = {
        {WIFI_ST_PASSWORD_MISMATCH, "Password not match!!!"},
        {WIFI_ST_CONNECT_ERROR, "Connection error!!!"},
        {WIFI_ST_SSID_NOT_FOUND, "SSID not found!!!"},
    };
    for (const auto& row : kOrder)
        if (status & row.bit) return row.message;
    return nullptr;
}
