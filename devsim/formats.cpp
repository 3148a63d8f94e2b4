#include "devsim/formats.h"

#include <cstdio>
#include <cstring>

namespace devsim {
namespace {

constexpr size_t kIpTextMax = 127;
constexpr size_t kAddrMax = 15;
constexpr size_t kCountryNameMax = 126;
constexpr size_t kCountryCodeMax = 31;
constexpr size_t kScanRowsMax = 256;

std::string Cut(std::string_view s, size_t max) { return std::string(s.substr(0, max)); }

// Splits text at each `sep` into exactly `count` fields; false for any other number.
bool SplitExact(std::string_view text, char sep, size_t count, std::string_view* fields) {
    size_t n = 0;
    while (true) {
        size_t comma = text.find(sep);
        if (n == count) return false;
        fields[n++] = text.substr(0, comma);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return n == count;
}

// A decimal number of one to `maxDigits` digits, nothing else.
bool ParseDecimal(std::string_view s, size_t maxDigits, uint32_t* out) {
    if (s.empty() || s.size() > maxDigits) return false;
    uint32_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint32_t>(c - '0');
    }
    *out = v;
    return true;
}

void PutLE(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

bool Status::Put(const void* bytes, size_t n) {
    if (n > kPayloadMax - m_bytes.size()) return false;
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    m_bytes.insert(m_bytes.end(), p, p + n);
    return true;
}

void Status::PutText(std::string_view text) {
    size_t room = kPayloadMax - m_bytes.size();
    if (room == 0) return;
    if (text.size() > room - 1) text = text.substr(0, room - 1);
    Put(text.data(), text.size());
    m_bytes.push_back(0);
}

bool Status::PutLE32(uint32_t value) {
    uint8_t b[4];
    PutLE(b, value);
    return Put(b, 4);
}

void Status::SetLE32(size_t offset, uint32_t value) {
    if (offset <= m_bytes.size() && m_bytes.size() - offset >= 4) PutLE(&m_bytes[offset], value);
}

std::string_view PayloadText(const uint8_t* payload, size_t n) {
    const char* text = reinterpret_cast<const char*>(payload);
    const void* nul = n ? std::memchr(text, '\0', n) : nullptr;
    return std::string_view(text,
                            nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : n);
}

std::string IpConfigText(const IpConfig& cfg) {
    char text[kIpTextMax + 1];
    auto a = [](const std::string& s) { return Cut(s, kAddrMax); };
    std::snprintf(text, sizeof text, "%d,%d,%s,%s,%s,%s,%s,%s", cfg.flags, cfg.dhcp,
                  a(cfg.dhcpSet.addr).c_str(), a(cfg.dhcpSet.mask).c_str(),
                  a(cfg.dhcpSet.gateway).c_str(), a(cfg.staticSet.addr).c_str(),
                  a(cfg.staticSet.mask).c_str(), a(cfg.staticSet.gateway).c_str());
    return text;
}

bool IsDottedIpv4(std::string_view text) {
    std::string_view parts[4];
    if (text.size() > kAddrMax || !SplitExact(text, '.', 4, parts)) return false;
    for (std::string_view p : parts) {
        uint32_t v = 0;
        if (!ParseDecimal(p, 3, &v) || v > 255) return false;
    }
    return true;
}

bool ParseIpSetText(std::string_view text, int32_t* dhcp, IpAddrs* set) {
    std::string_view f[4];
    if (!SplitExact(text, ',', 4, f)) return false;
    if (f[0] != "0" && f[0] != "1") return false;
    for (int i = 1; i < 4; ++i)
        if (!IsDottedIpv4(f[i])) return false;
    *dhcp = f[0] == "1";
    *set = {std::string(f[1]), std::string(f[2]), std::string(f[3])};
    return true;
}

void CountryRecord(const std::vector<Country>& countries, int32_t current, Status* out) {
    Status body;
    uint32_t count = 0;
    uint32_t textSize = 0;
    for (const Country& c : countries) {
        std::string code = Cut(c.code, kCountryCodeMax);
        std::string name = Cut(c.name, kCountryNameMax);
        if (code.size() + name.size() + 2 > kPayloadMax - 16 - body.Size()) break;
        body.PutText(code);
        body.PutText(name);
        ++count;
        textSize += static_cast<uint32_t>(code.size() + 1);
    }
    out->PutLE32(count);
    out->PutLE32(static_cast<uint32_t>(current));
    out->PutLE32(0);
    out->PutLE32(textSize);
    out->Put(body.Data(), body.Size());
}

// Scan reply: four little-endian words (rows R, 0, L, 0) and a text area of NUL-terminated
// strings: the column count N, N widths, N titles, then per row a flag digit and N cells.
// The receiver keeps the first L + 20 bytes, so L is the payload length less 20. Rows that
// would not fit the reply are left out.
void ScanReply(const DeviceState& state, Status* out) {
    struct Column {
        const char* title;
        int width;
    };
    static const Column kColumns[] = {{"SSID", 32}, {"BSSID", 17},   {"Ch", 4},    {"Signal", 6},
                                      {"Mode", 5},  {"Security", 9}, {"Cipher", 6}};
    constexpr size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];
    constexpr size_t kCellMax = 4 * 32 - 1;  // shorter than four times the widest column

    for (int i = 0; i < 4; ++i) out->PutLE32(0);
    char number[16];
    std::snprintf(number, sizeof number, "%zu", kColumnCount);
    out->PutText(number);
    for (const Column& c : kColumns) {
        std::snprintf(number, sizeof number, "%d", c.width);
        out->PutText(number);
    }
    for (const Column& c : kColumns) out->PutText(c.title);

    uint32_t rows = 0;
    for (const Network& n : state.networks) {
        if (!n.inRange) continue;
        if (rows == kScanRowsMax) break;
        int flags = (n.name == state.joined ? 1 : 0) | (n.hasProfile ? 2 : 0) |
                    (n.security == "--" ? 4 : 0);
        char flag[2] = {static_cast<char>('0' + flags), 0};
        char channel[16], signal[16];
        std::snprintf(channel, sizeof channel, "%d", n.channel);
        std::snprintf(signal, sizeof signal, "%d%%", n.signal);
        const std::string cells[kColumnCount + 1] = {
            flag,   Cut(n.name, kCellMax), Cut(n.bssid, kCellMax),    channel,
            signal, Cut(n.mode, kCellMax), Cut(n.security, kCellMax), Cut(n.cipher, kCellMax)};
        size_t need = 0;
        for (const std::string& c : cells) need += c.size() + 1;
        if (need > kPayloadMax - out->Size()) break;
        for (const std::string& c : cells) out->PutText(c);
        ++rows;
    }
    out->SetLE32(0, rows);
    out->SetLE32(8, static_cast<uint32_t>(out->Size() - 20));
}

bool ParseConnectText(std::string_view text, JoinRequest* out) {
    // Three numbers and their commas come first; the name and password are then taken by
    // the lengths those numbers give.
    std::string_view head[3];
    for (std::string_view& h : head) {
        size_t comma = text.find(',');
        if (comma == std::string_view::npos) return false;
        h = text.substr(0, comma);
        text.remove_prefix(comma + 1);
    }
    uint32_t profile = 0, nameLen = 0, passwordLen = 0;
    if (!ParseDecimal(head[0], 1, &profile) || profile > 1) return false;
    if (!ParseDecimal(head[1], 3, &nameLen) || !ParseDecimal(head[2], 3, &passwordLen))
        return false;
    if (nameLen == 0 || text.size() != nameLen + 1 + passwordLen || text[nameLen] != ',')
        return false;
    out->hasProfile = profile == 1;
    out->name = std::string(text.substr(0, nameLen));
    out->password = std::string(text.substr(nameLen + 1));
    return true;
}

}  // namespace devsim
