#include <gtest/gtest.h>

#include "StaffGradeValueText.h"

namespace
{

struct Case
{
    const char* input[2];
    const char* expected;
};

TEST(StaffGradeValueText, Initials)
{
    const Case cases[] = {
        {{"Progress Report Grade"}, "PRG"},
        {{"Marking Period Grade"}, "MPG"},
        {{"Final Grade"}, "FG"},
        {{"Exam"}, "Exam"}, // fewer than five: unchanged
        {{"A B"}, "A B"},
        {{""}, ""},
        {{"Grade"}, "G"},
        {{"A B C"}, "ABC"},
        {{"Final  Grade"}, "F G"}, // the character after the first of two blanks is a blank
        {{"Mid  Term  Exam"}, "M T E"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(Initials(c.input[0]).Text(), c.expected) << c.input[0];
}

TEST(StaffGradeValueText, BirthDateIsEightCharactersOrEmpty)
{
    const Case cases[] = {
        {{"1970", "0412"}, "19700412"}, {{"1970", "412"}, ""}, {{"1970", ""}, ""}, {{"0", "0"}, ""},
        {{"", "19700412"}, "19700412"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(StaffBirthDateText(c.input[0], c.input[1]).Text(), c.expected)
            << c.input[0] << c.input[1];
}

TEST(StaffGradeValueText, LeaveDateOnlyBeforeToday)
{
    XDate today;
    ASSERT_TRUE(today.Parse("YYYYMMDD", "20261015"));
    const Case cases[] = {
        {{"0"}, ""},
        {{"20261014"}, "20261014"},
        {{"20250630"}, "20250630"},
        {{"20261015"}, ""},
        {{"20261016"}, ""},
        {{"20991231"}, ""},
        {{""}, ""},
        {{"June 2025"}, ""},
        {{"2025"}, ""},             // no month and day
        {{"20251340"}, "20251340"}, // month 13 rolls over into January 2026
    };
    for (const Case& c : cases)
        EXPECT_STREQ(StaffLeaveDateText(c.input[0], "YYYYMMDD", today).Text(), c.expected) << c.input[0];
}

TEST(StaffGradeValueText, CommentKeys)
{
    const Case cases[] = {
        {{"12", "3"}, "gs_12_3"}, {{"12", "0"}, "gs_12_"}, {{"12", ""}, "gs_12_"},
        {{"0", "3"}, ""},         {{"", "3"}, ""},         {{"7", "2"}, "gs_7_2"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(GradeCommentKey(c.input[0], c.input[1]).Text(), c.expected) << c.input[0] << c.input[1];
}

} // namespace
