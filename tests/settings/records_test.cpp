#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/country_record.h"
#include "settings/scan_reply.h"
#include "settings/wifi_text.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using Bytes = std::vector<uint8_t>;

void PutLE(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

Bytes Record(int32_t count, int32_t current, uint32_t textSize,
             const std::vector<std::string>& strings) {
    Bytes b(16, 0);
    PutLE(b, 0, static_cast<uint32_t>(count));
    PutLE(b, 4, static_cast<uint32_t>(current));
    PutLE(b, 12, textSize);
    for (const std::string& s : strings) b.insert(b.end(), s.c_str(), s.c_str() + s.size() + 1);
    return b;
}

// Rows, then N, widths, titles and cells as strings; L covers them all.
Bytes Scan(int32_t rows, const std::vector<std::string>& strings, int lengthAdjust = 0) {
    Bytes b = Record(rows, 0, 0, strings);
    PutLE(b, 4, 0);
    PutLE(b, 8, static_cast<uint32_t>(static_cast<int>(b.size()) - 20 + lengthAdjust));
    return b;
}

TEST(CountryRecord, EntriesMarksAndEmptyLists) {
    CountryRecord r;
    Bytes five = Record(
        5, 2, 15,
        {"AT", "Austria", "BE", "Belgium", "CA", "Canada", "DK", "Denmark", "EE", "Estonia"});
    ASSERT_TRUE(ParseCountryRecord(five.data(), five.size(), &r));
    ASSERT_EQ(r.entries.size(), 5u);
    EXPECT_STREQ(r.entries[2].code, "CA");
    EXPECT_EQ(CountryEntryText(r, 2), "*Canada");
    EXPECT_EQ(CountryEntryText(r, 0), " Austria");

    for (int32_t count : {0, -3}) {
        Bytes none = Record(count, 0, 0, {});
        ASSERT_TRUE(ParseCountryRecord(none.data(), none.size(), &r));
        EXPECT_TRUE(r.entries.empty());
    }
}

TEST(CountryRecord, RecordsOutsideTheFormatAreRefused) {
    struct {
        const char* name;
        Bytes reply;
        const char* line;
    } cases[] = {
        {"short header", Bytes(15, 0), "Country Len 15 < 16 Error!!!\n"},
        {"count past the payload", Record(3, 0, 100, {"AT", "Austria"}),
         "Country Entry 1 Past Reply Error!!!\n"},
        {"huge count", Record(0x7FFFFFFF, 0, 100, {"AT", "Austria"}),
         "Country Entry 1 Past Reply Error!!!\n"},
        {"codes need more than textSize", Record(2, 0, 5, {"AT", "Austria", "BE", "Belgium"}),
         "Country Codes 6 > TextSize 5 Error!!!\n"},
        {"hostile textSize", Record(1, 0, 0xFFFFFFFF, {"AT", "Austria"}),
         "Country TextSize 4294967295 > 1280 Error!!!\n"},
        {"name too long", Record(1, 0, 9, {"AT", std::string(127, 'n')}),
         "Country Name 0 Len 127 > 126 Error!!!\n"},
        {"equal entry texts ignoring case", Record(2, 5, 9, {"AT", "Austria", "XX", "AUSTRIA"}),
         "Country Entry 1 Repeats 0 Error!!!\n"},
    };
    for (auto& c : cases) {
        CountryRecord r;
        CaptureStdout();
        EXPECT_FALSE(ParseCountryRecord(c.reply.data(), c.reply.size(), &r)) << c.name;
        EXPECT_EQ(GetCapturedStdout(), c.line) << c.name;
    }
}

TEST(ScanReply, ColumnsRowsAndFlagWords) {
    std::vector<std::string> s = {"7",    "2",     "32", "17",  "4",   "5",   "8",   "6",
                                  "SSID", "BSSID", "Ch", "dBm", "Std", "Sec", "Mode"};
    struct Row {
        std::string flag, security;
        int32_t word;
    } rows[] = {{"0", "WPA2", 0}, {"1", "WPA2", 1}, {"2", "WPA2", 2},
                {"3", "WPA2", 3}, {"1", "--", 5},   {"0", "-", 0},
                {"0", "---", 0},  {"0", "-- ", 0},  {"", "WPA2", -48}};
    for (const Row& r : rows) {
        for (const std::string& cell : {
                 r.flag,
                 std::string("caf\xc3\xa9"),
                 std::string("aa:bb"),
                 std::string("6"),
                 std::string("-50"),
                 std::string("b/g/n"),
                 r.security,
                 std::string("infra"),
             })
            s.push_back(cell);
    }
    Bytes reply = Scan(9, s);
    reply.push_back(0xEE);  // bytes after L + 20 are not kept
    ScanTable t;
    ASSERT_TRUE(ParseScanReply(reply.data(), reply.size(), &t));
    EXPECT_EQ(ScanKeptLength(reply.data(), reply.size()), reply.size() - 1);
    EXPECT_EQ(t.widths, (std::vector<int32_t>{2, 32, 17, 4, 5, 8, 6}));
    EXPECT_EQ(t.titles[5], "Sec");
    for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(ScanRowFlags(t, i), rows[i].word) << i;
    EXPECT_EQ(t.Cell(0, 1), "caf\xc3\xa9");

    Bytes noRows = Scan(-1, {"1", "3", "T"});
    ASSERT_TRUE(ParseScanReply(noRows.data(), noRows.size(), &t));
    EXPECT_EQ(t.rows, 0);
    EXPECT_TRUE(t.cells.empty());
}

TEST(ScanReply, TablesOutsideTheFormatAreRefused) {
    struct {
        const char* name;
        Bytes reply;
    } cases[] = {
        {"L + 20 past the payload", Scan(0, {"1", "3", "T"}, 1)},
        {"too short to hold L", Bytes(11, 0)},
        {"more than 256 rows", Scan(257, {"1", "3", "T"})},
        {"strings past the kept bytes", Scan(1, {"1", "3", "T", "0", "x"}, -2)},
        {"no columns", Scan(0, {"0"})},
        {"columns not decimal", Scan(0, {"x", "3", "T"})},
        {"widest column below 1", Scan(0, {"2", "0", "-4", "A", "B"})},
        {"title as long as the widest column", Scan(0, {"1", "3", "TTT"})},
        {"cell as long as four times the widest", Scan(1, {"1", "1", "", "0", "xxxx"})},
        {"fewer cells than rows need", Scan(2, {"1", "3", "T", "0", "x"})},
    };
    for (const auto& c : cases) {
        ScanTable t;
        CaptureStdout();
        EXPECT_FALSE(ParseScanReply(c.reply.data(), c.reply.size(), &t)) << c.name;
        std::string line = GetCapturedStdout();
        EXPECT_TRUE(line.starts_with("Scan Reply ") && line.ends_with(" Error!!!\n")) << line;
    }
}

TEST(WifiText, ConnectTextStatusWordAndMessages) {
    char out[WIFI_CONNECT_CAPACITY];
    struct {
        int32_t flags;
        const char* name;
        const char* password;
        const char* text;
    } texts[] = {
        {AP_NO_PASSWORD, "guest", "", "0,05,00,guest,"},
        {AP_HAS_PROFILE | AP_CONNECTED, "office-wlan1", "", "1,12,00,office-wlan1,"},
        {0, "home", "s3cr,t!!", "0,04,08,home,s3cr,t!!"},
    };
    for (const auto& t : texts) {
        EXPECT_TRUE(BuildConnectText(out, sizeof out, t.flags, t.name, t.password));
        EXPECT_STREQ(out, t.text);
    }
    EXPECT_FALSE(BuildConnectText(out, 8, 0, "guest", ""));

    uint32_t status = 7;
    EXPECT_TRUE(ParseWifiStatus("1c", &status));
    EXPECT_EQ(status, 0x1Cu);
    EXPECT_FALSE(ParseWifiStatus("zz", &status));
    EXPECT_EQ(status, 0x1Cu);

    struct {
        uint32_t status;
        const char* message;
    } messages[] = {{0x18, "Password not match!!!"},
                    {0x14, "Connection error!!!"},
                    {0x04, "SSID not found!!!"},
                    {0x01, nullptr},
                    {0, nullptr}};
    for (const auto& m : messages) {
        const char* got = WifiStatusMessage(m.status);
        EXPECT_STREQ(got ? got : "(none)", m.message ? m.message : "(none)") << m.status;
    }
}

}  // namespace
