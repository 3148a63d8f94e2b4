#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "base/clock.h"
#include "base/fixed_text.h"

namespace {

TEST(Clock, VirtualTimeMovesOnlyBySleepAndAdvanceWrapsAndScopesNest) {
    base::ScopedVirtualClock outer(0xFFFFFF00u);
    base::Sleep(0x80);
    EXPECT_EQ(base::GetTickCount(), 0xFFFFFF80u);
    outer.Advance(0x100);
    EXPECT_EQ(base::GetTickCount(), 0x80u);  // wrapped
    {
        base::ScopedVirtualClock inner(5);
        EXPECT_EQ(base::GetTickCount(), 5u);
    }
    EXPECT_EQ(base::GetTickCount(), 0x80u);
}

// Each operation on an 8-byte field that holds `start` (unterminated at 8 characters) and
// is followed by a guard: "+text" when it reported that all fitted, "-text" when it cut.
TEST(FixedText, CopyAppendFormatStayInsideTheFieldAndReportCuts) {
    struct {
        char op;  // Copy, copy of N=3 bytes, Append, Format
        size_t cap;
        const char *start, *arg, *expect;
    } cases[] = {
        {'c', 8, "", "1234567", "+1234567"},    {'c', 8, "", "123456789", "-1234567"},
        {'n', 8, "", "abcdefgh", "+abc"},       {'a', 8, "abc", "defg", "+abcdefg"},
        {'a', 8, "abcdef", "xyz", "-abcdefx"},  {'a', 8, "xxxxxxxx", "y", "-xxxxxxx"},
        {'f', 8, "", "1234567", "+1234567"},    {'f', 8, "", "12345678", "-1234567"},
        {'c', 0, "????????", "a", "-????????"}, {'a', 0, "????????", "a", "-????????"},
        {'f', 0, "????????", "a", "-????????"},
    };
    for (const auto& c : cases) {
        char g[12];
        std::memset(g, '?', sizeof g);
        std::memcpy(g, c.start, std::min<size_t>(std::strlen(c.start) + 1, 8));
        bool fits = c.op == 'c'   ? base::TextCopy(g, c.cap, c.arg)
                    : c.op == 'n' ? base::TextCopyN(g, c.cap, c.arg, 3)
                    : c.op == 'a' ? base::TextAppend(g, c.cap, c.arg)
                                  : base::TextFormat(g, c.cap, "%s", c.arg);
        std::string got(1, fits ? '+' : '-');
        EXPECT_EQ(got.append(g, base::TextLength(g, 8)), c.expect) << c.op << " " << c.arg;
        EXPECT_EQ(std::string(g + 8, 4), "????") << c.op << " " << c.arg;
    }
    EXPECT_EQ(base::TextLength("ab\0cd", 5), 2u);
}

}  // namespace
