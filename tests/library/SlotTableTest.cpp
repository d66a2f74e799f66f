// SPDX-License-Identifier: MIT
#include "SlotTable.h"

#include "RuntimeError.h"
#include "TestSupport.h"

#include <climits>
#include <gtest/gtest.h>
#include <string_view>

using namespace qurimo;
using namespace qurimo::test;

namespace {

class SlotOutOfRange : public testing::TestWithParam<int> {};

TEST_P(SlotOutOfRange, IsSubscriptError) {
    SlotTable table;
    try {
        table.at(GetParam()).English = u"never stored";
        FAIL() << "no error for slot " << GetParam();
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.number(), 9);
        EXPECT_TRUE(std::string_view(error.what()).starts_with("运行时错误 9：下标越界\n"))
            << error.what();
    }
    const SlotTable& constTable = table;
    EXPECT_THROW((void)constTable.at(GetParam()), RuntimeError);
}

INSTANTIATE_TEST_SUITE_P(Slots, SlotOutOfRange, testing::Values(-1, 301, 302, INT_MIN, INT_MAX));

struct FilledCase {
    const char* name;
    std::u16string english;
    bool filled;

    friend void PrintTo(const FilledCase& c, std::ostream* os) { *os << c.name; }
};

class FilledTest : public testing::TestWithParam<FilledCase> {};

TEST_P(FilledTest, TrimsOnlySpaces) {
    EXPECT_EQ(isFilled(Sentence{0, u"中文", GetParam().english}), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(
    English, FilledTest,
    testing::Values(FilledCase{"Empty", u"", false}, FilledCase{"Spaces", u"   ", false},
                    FilledCase{"IdeographicSpace", u"\u3000", false},
                    FilledCase{"MixedSpaces", u" \u3000 ", false},
                    FilledCase{"Word", u"make", true}, FilledCase{"PaddedWord", u"  a  ", true},
                    FilledCase{"Tab", u"\t", true}, FilledCase{"FormFeed", u"\f", true}),
    RowName);

} // namespace
