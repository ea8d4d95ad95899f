// The texts of the student and family exports, on their edge cases.
#include <gtest/gtest.h>

#include "ExpEngine.h"
#include "FamilyValueText.h"

namespace
{

TEST(FamilyValueText, Phone)
{
    struct Case
    {
        const char *area, *number, *extension, *expected;
    } cases[] = {
        {"301", "5551234", "0", "(301) 555-1234"},
        {"0", "5551234", "0", "555-1234"},
        {"", "5551234", "", "555-1234"},
        {"301", "0", "12", ""},
        {"301", "", "12", ""},
        {" 202 ", " 5551234 ", " 815 ", "(202) 555-1234 x815"},
        {"0", "5551234", "7", "555-1234 x7"},
        {"240", "123", "0", "(240) 123-"},
        {"240", "12", "0", "(240) 12-"},
        {"0", "7", "", "7-"},
        {"410", "5551", "0", "(410) 555-1"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(FamilyPhoneText(c.area, c.number, c.extension).Text(), c.expected)
            << c.area << "|" << c.number << "|" << c.extension;
}

TEST(FamilyValueText, Zip)
{
    const char* const cases[][2] = {
        {"20774", "20774"},
        {"207740000", "20774"},
        {"207741234", "20774-1234"},
        {"0", ""},
        {"", ""},
        {" 20774 ", "20774"},
        {"2077400000", "2077400000"},
        {"20770", "20770"},
        {"207700000", "20770"},
        {"12340000", "12340000"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(FamilyZipText(c[0]).Text(), c[1]) << c[0];
}

TEST(FamilyValueText, RelationshipsAndRestrictions)
{
    EXPECT_STREQ(RestrictionText("Mother", "X", "Father", "X").Text(),
                 "Mother is Restricted; Father is Restricted");
    EXPECT_STREQ(RestrictionText("Mother", "", "Father", "X").Text(), "Father is Restricted");
    EXPECT_STREQ(RestrictionText("Mother", "X", "", "").Text(), "Mother is Restricted");
    EXPECT_STREQ(RestrictionText("Mother", "", "Father", "").Text(), "");

    EXPECT_STREQ(LegallyResponsibleText("1", "Mother", "Father").Text(), "Mother");
    EXPECT_STREQ(LegallyResponsibleText("2", "Mother", "Father").Text(), "Father");
    EXPECT_STREQ(LegallyResponsibleText("3", "Mother", "Father").Text(), "Both Parents");
    EXPECT_STREQ(LegallyResponsibleText("", "Mother", "Father").Text(), "");
    EXPECT_STREQ(LegallyResponsibleText("4", "Mother", "Father").Text(), "");

    EXPECT_STREQ(HeadRelationshipText("1", "XX", "Father").Text(), "XX");
    EXPECT_STREQ(HeadRelationshipText("2", "Mother", "Father").Text(), "Father");
    EXPECT_STREQ(HeadRelationshipText("2", "Mother", "").Text(), "Par/Guard");
    EXPECT_STREQ(HeadRelationshipText("3", "Mother", "Father").Text(), "Par/Guard");

    EXPECT_STREQ(XYesNoText("X").Text(), "Yes");
    EXPECT_STREQ(XYesNoText("x").Text(), "No");
    EXPECT_STREQ(XYesNoText("").Text(), "No");
}

TEST(FamilyValueText, BusRoute)
{
    LookupList stops;
    stops.Add("A", "Stop A");
    stops.Add("LIB", "Public Library");
    const XString aOnly[5] = {"A", "", "", "", ""};
    EXPECT_STREQ(BusRouteText("12", "Main St", aOnly, stops).Text(), "12; Main St; Stop A");
    const XString unknownFirst[5] = {"Q", "LIB", "", "", "A"};
    EXPECT_STREQ(BusRouteText("12", "Main St", unknownFirst, stops).Text(),
                 "12; Main St; Public Library; Stop A");
    const XString none[5];
    EXPECT_STREQ(BusRouteText("", "", none, stops).Text(), "");
    // The first location is written as it is, even when it is a code of the list.
    EXPECT_STREQ(BusRouteText("7", "A", none, stops).Text(), "7; A");
    EXPECT_STREQ(BusRouteText("", "Oak Ave", aOnly, stops).Text(), "Oak Ave; Stop A");
}

// Legal notes and custody notes draw from one counter: keys stay unique
// across the tables of a run.
TEST(FamilyValueText, NoteKeysContinueFromTableToTable)
{
    ExpEngine engine;
    engine.SetOptionWord(1); // no existence checks: no database here
    engine.StartTable("Student Legal Notes", "", false);
    for (const char* key : {"UK_1", "UK_2", "UK_3"})
        EXPECT_STREQ(engine.UniqueNoteKey().Text(), key);
    engine.FinishTable();
    engine.StartTable("Student Custody Protection", "", false);
    EXPECT_STREQ(engine.UniqueNoteKey().Text(), "UK_4");
    engine.FinishTable();
}

} // namespace
