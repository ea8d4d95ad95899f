#include <gtest/gtest.h>

#include <QStringList>

#include <memory>

#include "ExpEngine.h"
#include "XException.h"

namespace
{

// Opens the frame's protected operations to the tests; the query opens
// without a database and the walk's records are scripted.
class FrameProbe : public ExpEngine
{
public:
    using ExpEngine::AddDistrictCondition;
    using ExpEngine::AddSchoolConditions;
    using ExpEngine::AddSisTable;
    using ExpEngine::LookupOrText;
    using ExpEngine::RunSwallowingFailure;
    using ExpEngine::SkipMissingTable;
    using ExpEngine::WalkTable;

    FrameProbe()
    {
        SetOptionWord(1); // no existence checks: no database here
        SetSchoolNumber("'101'");
        SetSchoolYear("2026");
        QObject::connect(this, &AppTaskBase::writeLog,
                         [list = log](int level, QString message, QString)
                         { *list << QString::number(level) + " " + message; });
    }

    bool OpenTable(int) override
    {
        if (openFailure)
            throw XException(openFailure);
        return true;
    }

    // A routine whose switches are on when it throws.
    void ThrowingRoutine()
    {
        StartTable("Student Custody Protection", "CustodyNotes.sef", false);
        ScopedDistinct distinct(*this);
        ScopedAnsiJoin ansiJoin(*this);
        throw XException("Provider report");
    }

    const char* openFailure = nullptr;
    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
};

TEST(RoutineFrame, SchoolConditionVariants)
{
    struct Case
    {
        const char* district;
        int parts;
        const char* where;
    } cases[] = {
        {"16", FrameProbe::kAllSchoolConditions,
         "stu.SCH_NBR = '101' AND stu.SCH_YR = 2026 AND stu.DST_NBR = 16"},
        {"", FrameProbe::kAllSchoolConditions, "stu.SCH_NBR = '101' AND stu.SCH_YR = 2026"},
        {"16", FrameProbe::kSchoolNumber | FrameProbe::kSchoolYear,
         "stu.SCH_NBR = '101' AND stu.SCH_YR = 2026"},
        {"16", FrameProbe::kSchoolNumber | FrameProbe::kDistrict, "stu.SCH_NBR = '101' AND stu.DST_NBR = 16"},
        {"16", FrameProbe::kSchoolYear | FrameProbe::kDistrict, "stu.SCH_YR = 2026 AND stu.DST_NBR = 16"},
    };
    for (const Case& c : cases)
    {
        FrameProbe engine;
        engine.SetDistrictNumber(c.district);
        ODBCTable* stu = engine.AddSisTable("ST010", "stu", true);
        engine.AddField(stu, "ID_NBR", false);
        engine.AddSchoolConditions(stu, c.parts);
        EXPECT_EQ(std::string(engine.BuildQuery().Text()),
                  std::string("SELECT stu.ID_NBR FROM ST010 stu  WHERE ") + c.where)
            << c.parts << " district " << c.district;
    }

    // The district condition on other tables, only with a district number.
    for (const char* district : {"16", ""})
    {
        FrameProbe engine;
        engine.SetDistrictNumber(district);
        ODBCTable* stu = engine.AddSisTable("ST010", "stu", true);
        ODBCTable* con = engine.AddSisTable("ST015", "CON", false);
        engine.AddField(stu, "ID_NBR", false);
        engine.AddSchoolConditions(stu, {con});
        std::string expected = "SELECT stu.ID_NBR FROM ST010 stu, ST015 CON  WHERE stu.SCH_NBR = '101' AND "
                               "stu.SCH_YR = 2026";
        if (*district)
            expected += " AND stu.DST_NBR = 16 AND CON.DST_NBR = 16";
        EXPECT_EQ(std::string(engine.BuildQuery().Text()), expected);
    }
}

TEST(RoutineFrame, SwallowedFailureResetsSwitchesAndMarksTheTable)
{
    FrameProbe engine;
    engine.RunSwallowingFailure(static_cast<void (ExpEngine::*)()>(&FrameProbe::ThrowingRoutine));
    EXPECT_FALSE(engine.Distinct());
    EXPECT_FALSE(engine.AnsiJoin());
    ASSERT_EQ(engine.IncompleteTables().size(), 1u);
    EXPECT_STREQ(engine.IncompleteTables()[0].Text(), "Student Custody Protection");
    EXPECT_TRUE(engine.log->contains("3 Provider report"));
}

TEST(RoutineFrame, WalkFailuresNameTheSubjectOnceOpenFailuresKeepTheirReport)
{
    FrameProbe engine;
    engine.StartTable("Student Notes", "StudentNotes.sef", false);
    auto message = [&](const std::function<void()>& walk)
    {
        try
        {
            engine.WalkTable("Student Notes", walk);
        }
        catch (const XException& e)
        {
            return std::string(e.what());
        }
        return std::string("<no exception>");
    };
    EXPECT_EQ(message([] { throw XException("row 5 failed"); }),
              "Failed with error [row 5 failed] while writing Student Notes.");
    EXPECT_EQ(message([] { throw "thrown text"; }),
              "Failed with error [thrown text] while writing Student Notes.");
    EXPECT_EQ(message([] { throw 5; }), "Failed with unknown error while writing Student Notes.");

    engine.openFailure = "Failed with error [no such table] while parsing query: SELECT";
    EXPECT_EQ(message([] {}), "Failed with error [no such table] while parsing query: SELECT");
}

TEST(RoutineFrame, SkipMissingTableLogsAndFinishes)
{
    FrameProbe engine;
    engine.StartTable("Student Contacts", "Contacts.sef", false);
    engine.SkipMissingTable("Create Student Contacts: Table ST015 does not exist.");
    EXPECT_TRUE(engine.log->contains("7 Create Student Contacts: Table ST015 does not exist."));
    EXPECT_TRUE(engine.log->contains("8 Finished Student Contacts table/query."));
}

TEST(RoutineFrame, LookupOrText)
{
    LookupList list;
    list.Add("M", "Mother");
    list.Add("F", "");
    EXPECT_STREQ(FrameProbe::LookupOrText(list, "M").Text(), "Mother");
    EXPECT_STREQ(FrameProbe::LookupOrText(list, "F").Text(), "");
    EXPECT_STREQ(FrameProbe::LookupOrText(list, "X").Text(), "X");
}

} // namespace
