#include "settings/ipcfg_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

IpCfgState Previous() {
    return {0, {{"9.9.9.6", "9.9.9.7", "9.9.9.8"}, {"9.9.9.3", "9.9.9.4", "9.9.9.5"}}};
}

TEST(IpConfigText, AcceptedRepliesAndWhatTheyLeaveAlone) {
    struct {
        const char* text;
        int32_t flags;
        IpCfgState state;
    } cases[] = {
        {"0,1,192.168.1.57,255.255.255.0,192.168.1.1,192.168.1.200,255.255.255.0,192.168.1.1",
         0,
         {1,
          {{"192.168.1.200", "255.255.255.0", "192.168.1.1"},
           {"192.168.1.57", "255.255.255.0", "192.168.1.1"}}}},
        {"4,0,a,b,c,d,e,f,ninth field", 4, {0, {{"d", "e", "f"}, {"a", "b", "c"}}}},
        // An empty field ends the parse: fields 5 to 8 keep what they had.
        {"3,1,1.1.1.1,2.2.2.2,,6.6.6.6,7.7.7.7,8.8.8.8",
         3,
         {1, {{"9.9.9.6", "9.9.9.7", "9.9.9.8"}, {"1.1.1.1", "2.2.2.2", "9.9.9.5"}}}},
        {" -7x,+1", -7, {1, Previous().sets[0], Previous().sets[1]}},
        // The limits, accepted: 127 characters, 15-character addresses, 31-digit numbers.
        {"0,1,255.255.255.255,255.255.255.255,255.255.255.255,255.255.255.255,255.255.255.255,"
         "255.255.255.255,123456789012345678901234567",
         0,
         {1,
          {{"255.255.255.255", "255.255.255.255", "255.255.255.255"},
           {"255.255.255.255", "255.255.255.255", "255.255.255.255"}}}},
        {"-2147483648,0000000000000000000000000000001",
         INT32_MIN,
         {1, Previous().sets[0], Previous().sets[1]}},
    };
    for (const auto& c : cases) {
        int32_t flags = 99;
        IpCfgState state = Previous();
        CaptureStdout();
        EXPECT_TRUE(ParseIpConfigText(c.text, &flags, &state)) << c.text;
        EXPECT_EQ(GetCapturedStdout(), "") << c.text;
        EXPECT_EQ(flags, c.flags) << c.text;
        EXPECT_TRUE(state == c.state) << c.text;
    }
}

TEST(IpConfigText, RepliesOutsideTheFormatAreRefusedAndChangeNothing) {
    const std::string longAddr = "1234567890123456";
    struct {
        std::string text;
        const char* line;
    } cases[] = {
        {"0,0," + std::string(125, '1'), "IP Cfg Text Len > 127 Error!!!\n"},
        {"0,0," + longAddr, "IP Cfg Field 3 Len 16 > 15 Error!!!\n"},
        {"0,0,a,b,c,d,e," + longAddr, "IP Cfg Field 8 Len 16 > 15 Error!!!\n"},
        {std::string(32, '1') + ",0", "IP Cfg Field 1 Len 32 > 31 Error!!!\n"},
        {"", "IP Cfg Field 1 Missing Error!!!\n"},
        {"0", "IP Cfg Field 2 Missing Error!!!\n"},
        {"0,,a", "IP Cfg Field 2 Missing Error!!!\n"},
        {"0,2,a,b,c,d,e,f", "IP Cfg DHCP 2 Error!!!\n"},
        // Checked before they are narrowed to 32 bits.
        {"0,4294967297", "IP Cfg DHCP 4294967297 Error!!!\n"},
        {"0,4294967296", "IP Cfg DHCP 4294967296 Error!!!\n"},
        {"2147483648,1", "IP Cfg Flags 2147483648 Error!!!\n"},
    };
    for (const auto& c : cases) {
        int32_t flags = 99;
        IpCfgState state = Previous();
        CaptureStdout();
        EXPECT_FALSE(ParseIpConfigText(c.text.c_str(), &flags, &state)) << c.text;
        EXPECT_EQ(GetCapturedStdout(), c.line) << c.text;
        EXPECT_EQ(flags, 99);
        EXPECT_TRUE(state == Previous()) << c.text;
    }
}

TEST(IpConfigText, SetText) {
    char out[IPCFG_SET_CAPACITY];
    BuildIpSetText(out, 0, {"192.168.1.200", "255.255.255.0", "192.168.1.1"});
    EXPECT_STREQ(out, "0,192.168.1.200,255.255.255.0,192.168.1.1");
    BuildIpSetText(out, 1, {"255.255.255.255", "255.255.255.255", "255.255.255.255"});
    EXPECT_EQ(std::string(out).size(), 49u);  // the longest set text fits
}

}  // namespace
