#include "base/fixed_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Guarded {
    char field[8];
    char guard[4] = {'G', 'G', 'G', 'G'};
    bool GuardIntact() const { return std::memcmp(guard, "GGGG", 4) == 0; }
};

TEST(FixedText, CopyAppendFormatStayInsideTheFieldAndReportCuts) {
    struct Case {
        const char* name;
        bool (*op)(Guarded&);
        bool fits;
        const char* expect;
    } cases[] = {
        {"copy fits", [](Guarded& g) { return base::TextCopy(g.field, "1234567"); }, true,
         "1234567"},
        {"copy cut", [](Guarded& g) { return base::TextCopy(g.field, "123456789"); }, false,
         "1234567"},
        {"append fits",
         [](Guarded& g) {
             base::TextCopy(g.field, "abc");
             return base::TextAppend(g.field, "defg");
         },
         true, "abcdefg"},
        {"append cut",
         [](Guarded& g) {
             base::TextCopy(g.field, "abcdef");
             return base::TextAppend(g.field, "xyz");
         },
         false, "abcdefx"},
        {"append to unterminated field",
         [](Guarded& g) {
             std::memset(g.field, 'x', sizeof g.field);
             return base::TextAppend(g.field, sizeof g.field, "y");
         },
         false, "xxxxxxx"},
        {"format fits",
         [](Guarded& g) { return base::TextFormat(g.field, sizeof g.field, "%d-%s", 42, "ab"); },
         true, "42-ab"},
        {"format cut",
         [](Guarded& g) { return base::TextFormat(g.field, sizeof g.field, "%s", "0123456789"); },
         false, "0123456"},
        {"copy of unterminated bytes",
         [](Guarded& g) { return base::TextCopyN(g.field, sizeof g.field, "abcdefgh", 3); }, true,
         "abc"},
    };
    for (const Case& c : cases) {
        Guarded g;
        std::memset(g.field, '?', sizeof g.field);
        EXPECT_EQ(c.op(g), c.fits) << c.name;
        EXPECT_STREQ(g.field, c.expect) << c.name;
        EXPECT_TRUE(g.GuardIntact()) << c.name;
    }
}

TEST(FixedText, ZeroCapacityWritesNothing) {
    char c = 'k';
    EXPECT_FALSE(base::TextCopy(&c, 0, "a"));
    EXPECT_FALSE(base::TextFormat(&c, 0, "%s", "a"));
    EXPECT_EQ(c, 'k');
}

TEST(FixedText, LengthNeverLooksPastTheBound) {
    const char bytes[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(base::TextLength(bytes, 4), 4u);
    EXPECT_EQ(base::TextLength("ab\0cd", 5), 2u);
}

}  // namespace
