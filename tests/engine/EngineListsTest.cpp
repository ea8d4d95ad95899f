#include <gtest/gtest.h>

#include "EngineList.h"
#include "LookupList.h"
#include "StudentNoteAssembler.h"

namespace
{

TEST(EngineList, KeepsQueryOrderAndDropsRepeatedKeys)
{
    EngineList list;
    EXPECT_TRUE(list.Add("20", "Zeta, Ann"));
    EXPECT_TRUE(list.Add("10", "Alpha, Bob"));
    EXPECT_FALSE(list.Add("20", "Other"));
    EXPECT_TRUE(list.Add("05", "Carl"));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_STREQ(list.At(0).key.Text(), "20");
    EXPECT_STREQ(list.At(0).name.Text(), "Zeta, Ann");
    EXPECT_STREQ(list.At(1).key.Text(), "10");
    EXPECT_STREQ(list.At(2).key.Text(), "05");
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(list.Add("20", "again"));
}

TEST(EngineList, SortsKeysAsSignedBytes)
{
    // Keys compare as the engine's strings do: byte by byte as signed
    // characters, so a Windows-1252 letter sorts before the digits.
    EngineList list;
    list.Add("303", "High");
    list.Add("101", "Elementary");
    list.Add("\xc9"
             "01",
             "\xc9"
             "cole");
    list.Add("1010", "Annex");
    list.SortByKey();
    ASSERT_EQ(list.Count(), 4);
    EXPECT_STREQ(list.At(0).key.Text(), "\xc9"
                                        "01");
    EXPECT_STREQ(list.At(1).key.Text(), "101");
    EXPECT_STREQ(list.At(2).key.Text(), "1010");
    EXPECT_STREQ(list.At(3).key.Text(), "303");
    EXPECT_STREQ(list.At(3).name.Text(), "High");
}

TEST(LookupList, FirstValueOfAKeyWins)
{
    LookupList codes;
    EXPECT_TRUE(codes.Add("M", "Mother"));
    EXPECT_FALSE(codes.Add("M", "Other"));
    XString value;
    ASSERT_TRUE(codes.Find("M", value));
    EXPECT_STREQ(value.Text(), "Mother");
    EXPECT_FALSE(codes.Find("F", value));
    EXPECT_STREQ(value.Text(), "Mother");
    EXPECT_FALSE(codes.Contains("m"));
}

// The titles taken from the next note's first record, across pages and
// students, are compared whole in the exported student notes.
TEST(StudentNoteAssembler, NoRecordsNoLines)
{
    StudentNoteAssembler assembler;
    StudentNoteLine line;
    EXPECT_FALSE(assembler.Finish(line));
}

} // namespace
