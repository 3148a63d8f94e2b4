#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "settings/country_record.h"
#include "settings/ip_check.h"
#include "settings/ipcfg_text.h"
#include "settings/scan_reply.h"
#include "settings/wifi_text.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using Bytes = std::vector<uint8_t>;

// The line a refusal prints, naming what it refused; none when `what` is empty.
std::string Line(const char* prefix, const char* what) {
    return *what ? prefix + std::string(what) + " Error!!!\n" : "";
}

void PutLE(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The strings each with its terminator, but for the last one when `cut`.
Bytes Record(int32_t count, int32_t current, uint32_t textSize,
             const std::vector<std::string>& strings, bool cut = false) {
    Bytes b(16, 0);
    PutLE(b, 0, static_cast<uint32_t>(count));
    PutLE(b, 4, static_cast<uint32_t>(current));
    PutLE(b, 12, textSize);
    for (const std::string& s : strings) b.insert(b.end(), s.c_str(), s.c_str() + s.size() + 1);
    if (cut) b.pop_back();
    return b;
}

// Rows, then N, widths, titles and cells as strings; L covers them all.
Bytes Scan(int32_t rows, const std::vector<std::string>& strings, int lengthAdjust = 0) {
    Bytes b = Record(rows, 0, 0, strings);
    PutLE(b, 8, static_cast<uint32_t>(static_cast<int>(b.size()) - 20 + lengthAdjust));
    return b;
}

// Each limit from both sides: the last accepted value, then the first refused one.
TEST(CountryRecord, Limits) {
    const std::string name126(126, 'n');
    struct {
        const char* name;
        Bytes reply;
        const char* line;  // "" when accepted
        uint32_t codeBytes = 0;
    } cases[] = {
        {"no entries", Record(0, 0, 0, {}), "", 0},
        {"negative count: no entries", Record(-3, 0, 0, {}), "", 0},
        {"short header", Bytes(15, 0), "Len 15 < 16"},
        {"huge count", Record(0x7FFFFFFF, 0, 100, {"AT", "Austria"}), "Entry 1 Past Reply"},
        {"textSize exactly", Record(2, 0, 6, {"AT", "Austria", "BE", "Belgium"}), "", 6},
        {"codes need more than textSize", Record(2, 0, 5, {"AT", "Austria", "BE", "Belgium"}),
         "Codes 6 > TextSize 5"},
        // A generous reservation is no fault: only what the texts take is reserved.
        {"large textSize", Record(1, 0, 0xFFFFFFFF, {"AT", "Austria"}), "", 3},
        {"name of 126", Record(1, 0, 3, {"AT", name126}), "", 3},
        {"name too long", Record(1, 0, 9, {"AT", name126 + "n"}), "Name 0 Len 127 > 126"},
        {"no room for an entry", Record(1, 0, 9, {"A"}, true), "Entry 0 Past Reply"},
        {"the smallest entry, last", Record(1, 0, 1, {"", ""}), "", 1},
        {"code without its end", Record(1, 0, 9, {"ATX"}, true), "Code 0 Past Reply"},
        {"name without its end", Record(1, 0, 9, {"AT", "Au"}, true), "Name 0 Past Reply"},
        // Entry texts equal ignoring case are refused in the app's flows; the mark tells them
        // apart.
        {"equal but one is current", Record(2, 0, 9, {"AT", "Austria", "XX", "AUSTRIA"}), "", 6},
    };
    const uint8_t word[4] = {0x01, 0x02, 0x03, 0x84};  // the header's byte order
    EXPECT_EQ(GetLE32(word), 0x84030201u);
    for (auto& c : cases) {
        CountryRecord r;
        CaptureStdout();
        EXPECT_EQ(ParseCountryRecord(c.reply.data(), c.reply.size(), &r), !*c.line) << c.name;
        EXPECT_EQ(GetCapturedStdout(), Line("Country ", c.line)) << c.name;
        EXPECT_EQ(*c.line ? 0u : r.codeBytes, c.codeBytes) << c.name;
    }
}

TEST(ScanReply, FlagWords) {
    // Six data columns, the sixth the security column; one row per case.
    struct Row {
        std::string flag, security;
        int32_t word;
    } rows[] = {{"3", "WPA2", 3}, {"1", "--", 5},  {"0", "-", 0},
                {"0", "---", 0},  {"0", "-- ", 0}, {"", "WPA2", -48}};
    std::vector<std::string> s = {"6", "1", "1", "1", "1", "1", "4", "", "", "", "", "", ""};
    for (const Row& r : rows)
        s.insert(s.end(), {r.flag, "caf\xc3\xa9", "", "", "", "", r.security});
    Bytes reply = Scan(6, s);
    reply.push_back(0xEE);  // bytes after L + 20 are not kept
    ScanTable t;
    ASSERT_TRUE(ParseScanReply(reply.data(), reply.size(), &t));
    EXPECT_EQ(ScanKeptLength(reply.data(), 12), reply.size() - 1);  // 12 bytes hold L
    EXPECT_EQ(ScanKeptLength(reply.data(), 11), 0u);
    EXPECT_EQ(t.Cell(0, 1), "caf\xc3\xa9");
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(ScanRowFlags(t, i), rows[i].word) << i;

    // With five data columns there is no security column to read.
    Bytes five =
        Scan(1, {"5", "1", "1", "1", "1", "4", "F", "", "", "", "Sec", "0", "n", "", "", "", "--"});
    ASSERT_TRUE(ParseScanReply(five.data(), five.size(), &t));
    EXPECT_EQ(t.titles, (std::vector<std::string_view>{"F", "", "", "", "Sec"}));
    EXPECT_EQ(ScanRowFlags(t, 0), 0);
}

// A table of `rows` rows of one data column of width 1 (cells below 4 bytes).
Bytes Rows(int32_t rows) {
    std::vector<std::string> s = {"1", "1", ""};
    for (int32_t r = 0; r < rows; ++r) s.insert(s.end(), {"0", "xyz"});
    return Scan(rows, s);
}

// Each limit from both sides: the last accepted value, then the first refused one.
TEST(ScanReply, Limits) {
    struct {
        const char* name;
        Bytes reply;
        const char* line;  // "" when accepted
    } cases[] = {
        {"L + 20 the whole payload, blanks before N", Scan(0, {"\t\r 1", "3", "T"}), ""},
        {"L + 20 past the payload", Scan(0, {"1", "3", "T"}, 1), "Length"},
        {"256 rows", Rows(256), ""},
        {"257 rows", Rows(257), "Rows"},
        {"strings past the kept bytes", Scan(1, {"1", "3", "T", "0", "x"}, -2), "Cell"},
        {"no columns", Scan(0, {"0", "", ""}), "Columns"},
        {"columns not decimal", Scan(0, {"x", "3", "T"}), "Columns"},
        {"largest column count: parsed, its widths run out", Scan(0, {"2147483647", "3"}), "Width"},
        {"column count past 32 bits", Scan(0, {"2147483648", "3", "T"}), "Columns"},
        {"widest column 1", Scan(0, {"2", "0", "1", "", ""}), ""},
        {"widest column below 1", Scan(0, {"2", "0", "0", "", ""}), "Width"},
        {"negative width", Scan(0, {"2", "-1", "3", "A", "B"}), "Width"},
        {"widest a screen shows", Scan(0, {"1", "1000", "T"}), ""},
        {"wider", Scan(0, {"1", "1001", "T"}), "Width"},
        {"title one shorter than the widest", Scan(0, {"1", "9", "TTTTTTTT"}), ""},
        {"title as long as the widest", Scan(0, {"1", "9", "TTTTTTTTT"}), "Title"},
        {"cell one shorter than four times the widest", Scan(1, {"1", "1", "", "0", "xxx"}), ""},
        {"cell four times the widest", Scan(1, {"1", "1", "", "0", "xxxx"}), "Cell"},
        {"fewer cells than rows need", Scan(2, {"1", "3", "T", "0", "x"}), "Cell"},
    };
    for (const auto& c : cases) {
        ScanTable t;
        CaptureStdout();
        EXPECT_EQ(ParseScanReply(c.reply.data(), c.reply.size(), &t), !*c.line) << c.name;
        EXPECT_EQ(GetCapturedStdout(), Line("Scan Reply ", c.line)) << c.name;
    }
}

// The joins without a stored profile, and the status words' messages, are the app's flows.
TEST(WifiText, ConnectTextWithAProfileAndStatusWords) {
    char out[WIFI_CONNECT_CAPACITY];
    EXPECT_TRUE(
        BuildConnectText(out, sizeof out, AP_HAS_PROFILE | AP_CONNECTED, "office-wlan1", ""));
    EXPECT_STREQ(out, "1,12,00,office-wlan1,");
    EXPECT_FALSE(BuildConnectText(out, 8, 0, "guest", ""));

    // What a status text leaves in the word, which starts at 7 each time.
    const std::pair<const char*, uint32_t> words[] = {
        {" 0x1C", 0x1C}, {"ffffffff", 0xFFFFFFFF}, {"zz", 7}, {"100000001", 7}, {"-1", 7}};
    for (auto [text, want] : words) {
        uint32_t status = 7;
        EXPECT_EQ(ParseWifiStatus(text, &status), want != 7) << text;
        EXPECT_EQ(status, want) << text;
    }
}

// "a.b.c.d" as an IP address control reports it; an empty field is a blank one.
IpEntry Entry(const char* text) {
    unsigned v[4] = {};
    IpEntry e{{}, std::max(0, std::sscanf(text, "%u.%u.%u.%u", &v[0], &v[1], &v[2], &v[3]))};
    for (int i = 0; i < 4; ++i) e.field[i] = static_cast<uint8_t>(v[i]);
    return e;
}

TEST(IpCheck, EachRuleAtItsEdge) {
    struct {
        const char *addr, *mask, *gateway, *message;
    } cases[] = {
        {"192.168.1.", "255.255.255.0", "0.0.0.0", "IP Addr has an empty field!!!"},
        {"192.168.1.2", "255.255..0", "0.0.0.0", "Mask has an empty field!!!"},
        {"192.168.1.2", "255.255.255.0", "...", "Gateway has an empty field!!!"},
        {"192.168.1.2", "0.0.0.0", "0.0.0.0", "Invalid Mask!!!"},
        {"192.168.1.2", "255.0.255.0", "0.0.0.0", "Invalid Mask!!!"},
        {"0.1.2.3", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"127.0.0.5", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"224.0.0.5", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"239.9.9.9", "255.0.0.0", "0.0.0.0", "IP Addr is reserved!!!"},
        {"255.255.255.255", "255.255.255.255", "0.0.0.0", "IP Addr is reserved!!!"},
        {"1.0.0.1", "255.0.0.0", "0.0.0.0", nullptr},
        {"223.255.255.254", "255.255.255.0", "0.0.0.0", nullptr},
        {"240.0.0.1", "255.0.0.0", "0.0.0.0", nullptr},  // not in any of the ranges refused
        {"10.0.0.7", "255.255.255.252", "0.0.0.0",
         "IP Addr is the broadcast address of its subnet!!!"},
        {"10.0.0.4", "255.255.255.254", "10.0.0.5", nullptr},  // /31: both are hosts
        {"10.0.0.5", "255.255.255.255", "0.0.0.0", nullptr},
        {"192.168.1.2", "255.255.255.0", "192.168.1.2", "Gateway is the IP Addr itself!!!"},
        {"192.168.1.2", "255.255.255.0", "192.168.2.1", "Gateway is outside the subnet!!!"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(CheckStaticIpConfig(Entry(c.addr), Entry(c.mask), Entry(c.gateway)), c.message)
            << c.addr << " " << c.mask;
}

IpCfgState Previous(int32_t dhcp = 0) {
    return {dhcp, {{"9.9.9.6", "9.9.9.7", "9.9.9.8"}, {"9.9.9.3", "9.9.9.4", "9.9.9.5"}}};
}

// An accepted reply prints nothing; a refused one prints its line and changes nothing.
TEST(IpConfigText, RepliesAndTheirLimits) {
    const std::string ip15 = "255.255.255.255,", longAddr(16, '1');
    const std::string text127 =
        "0,1," + ip15 + ip15 + ip15 + ip15 + ip15 + ip15 + std::string(27, '1');
    const IpAddrSet full = {"255.255.255.255", "255.255.255.255", "255.255.255.255"};
    struct {
        std::string text;
        const char* line;  // "" when accepted
        int32_t flags = 99;
        IpCfgState state = Previous();
    } cases[] = {
        {"4,0,a,b,c,d,e,f,ninth field", "", 4, {0, {{"d", "e", "f"}, {"a", "b", "c"}}}},
        // An empty field ends the parse: fields 5 to 8 keep what they had.
        {"3,1,1.1,2.2,,6.6,7.7,8.8", "", 3, {1, {Previous().sets[0], {"1.1", "2.2", "9.9.9.5"}}}},
        {" -7x,+1", "", -7, Previous(1)},
        // The limits, accepted: 127 characters, 15-character addresses, 31-digit numbers.
        {text127, "", 0, {1, {full, full}}},
        {"-2147483648,0000000000000000000000000000001", "", INT32_MIN, Previous(1)},
        // ... and refused one past them.
        {"0,0," + std::string(124, '1'), "Text Len > 127"},  // 128
        {"0,0," + longAddr, "Field 3 Len 16 > 15"},
        {std::string(32, '1') + ",0", "Field 1 Len 32 > 31"},
        {"", "Field 1 Missing"},
        {"0", "Field 2 Missing"},
        {"0,,a", "Field 2 Missing"},
        {"0,2,a,b,c,d,e,f", "DHCP 2"},
        // Checked before they are narrowed to 32 bits.
        {"0,4294967297", "DHCP 4294967297"},
        {"2147483648,1", "Flags 2147483648"},
    };
    for (const auto& c : cases) {
        int32_t flags = 99;
        IpCfgState state = Previous();
        CaptureStdout();
        EXPECT_EQ(ParseIpConfigText(c.text.c_str(), &flags, &state), !*c.line) << c.text;
        EXPECT_EQ(GetCapturedStdout(), Line("IP Cfg ", c.line)) << c.text;
        EXPECT_EQ(flags, c.flags) << c.text;
        EXPECT_TRUE(state == c.state) << c.text;
    }

    char out[IPCFG_SET_CAPACITY];  // the flows send the ordinary ones
    BuildIpSetText(out, 1, {"255.255.255.255", "255.255.255.255", "255.255.255.255"});
    EXPECT_EQ(std::string(out).size(), 49u);  // the longest set text fits
}

}  // namespace
