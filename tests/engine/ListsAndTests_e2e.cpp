// Connection tests and the front-end's lists against the SQLite demo districts.
#include "DemoHarness.h"

using namespace e2e;

namespace
{

class SqliteLists : public DemoSuite<SqliteLists>
{
public:
    static DemoPlan Demo() { return {{"tsis", "schmax"}}; }
};

std::vector<std::string> Entries(const EngineList& list)
{
    std::vector<std::string> out;
    for (const EngineListEntry& e : list)
        out.push_back(std::string(e.key.Text()) + "|" + e.name.Text());
    return out;
}

// A section of golden/lists.txt.
std::vector<std::string> Golden(const std::string& section)
{
    return GoldenSection(TSIS_SOURCE_DIR "/tests/engine/golden/lists.txt", section);
}

ParamMap TeacherParams(const QString& dsn)
{
    ParamMap p;
    p["dsn"] = dsn;
    p["user"] = "reader";
    p["pwd"] = "secret";
    p["district"] = "16";
    p["school"] = "101";
    return p;
}

TEST_F(SqliteLists, ConnectionTestAnnouncesItselfAndFailsForAMissingDataSource)
{
    RecordedEngine engine;
    EXPECT_TRUE(engine->ValidateConnection("TSISDemo", "", ""));
    EXPECT_EQ(engine.Progress().count("Beginning test..."), 1);
    EXPECT_TRUE(engine.Logged("Validate Connection Successful using: DBTSIS_SY005_V"));

    RecordedEngine missing;
    bool ok = true;
    EXPECT_NO_THROW(ok = missing->ValidateConnection("NoSuchDemoDSN", "", ""));
    EXPECT_FALSE(ok);
    EXPECT_EQ(missing.Progress().count("Beginning test..."), 0);
    EXPECT_TRUE(missing.LoggedContaining("Validate Connection Failed: ")) << missing.Dump();
}

TEST_F(SqliteLists, DetectionTriesTheTwelveSettingsInOrder)
{
    RecordedEngine engine;
    EXPECT_FALSE(engine->SetDatabaseType("NoSuchDemoDSN", "", ""));
    std::vector<std::string> trials;
    for (const LogLine& line : engine.Log())
        if (line.message.startsWith("Trying: "))
            trials.push_back(line.message.toStdString());
    EXPECT_EQ(trials, Golden("trials"));
    // The type goes back to unset; the names keep the last setting.
    EXPECT_EQ(engine->DatabaseType(), 0);
    EXPECT_STREQ(engine->ValidationPrefix().Text(), "");
    EXPECT_STREQ(engine->ValidationSuffix().Text(), "_V");
    EXPECT_STREQ(engine->GetTableName("ST010", false).Text(), "ST010_V");
}

TEST_F(SqliteLists, DetectionTriesTheFoundTypeFirst)
{
    RecordedEngine engine;
    ASSERT_TRUE(engine->SetDatabaseType("TSISDemo", "", ""));
    EXPECT_EQ(engine->DatabaseType(), 11);
    EXPECT_STREQ(engine->GetTableName("ST010", false).Text(), "DBTSIS_ST010_V");
    EXPECT_STREQ(engine->GetTableName("ST010", true).Text(), "ST010");
    const size_t before = engine.Log().size();
    ASSERT_TRUE(engine->SetDatabaseType("TSISDemo", "", ""));
    for (size_t i = before; i < engine.Log().size(); ++i)
        EXPECT_FALSE(engine.Log()[i].message.startsWith("Trying: ")) << engine.Log()[i].message.toStdString();
}

TEST_F(SqliteLists, SchoolTestChecksSchoolAndDistrict)
{
    RecordedEngine engine;
    EXPECT_TRUE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "16", "101"));
    EXPECT_TRUE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "", "303"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "16", "999"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "17", "101"));
    bool failureLogged = false;
    for (const LogLine& line : engine.Log())
        failureLogged |=
            line.level == 5 && line.method == "ExpEngine::ValidateDistrictAndSchoolNum" &&
            line.message.startsWith(
                "Failed while Attempting:SELECT school.SCH_NBR, school.DST_NBR FROM SY010 school");
    EXPECT_TRUE(failureLogged) << engine.Dump();
    // A quote in the value cannot widen the condition.
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "16", "999' OR '1'='1"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "16' OR '1'='1", "999"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("NoSuchDemoDSN", "", "", "16", "101"));
    EXPECT_TRUE(engine.LoggedContaining("ValidateDistrictAndSchoolNum: Failed:"));
}

TEST_F(SqliteLists, TwoDistrictsAreListedByNumberAsDistrict)
{
    // The query orders by name descending ("Demo County" first); the list is by number.
    RecordedEngine engine;
    EngineList list;
    ASSERT_TRUE(engine->LoadSchoolDistrictList(list, "TSISDemo", "", "")) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("districts"));
    EXPECT_TRUE(engine.Logged("Found Districts..."));

    EXPECT_FALSE(engine->LoadSchoolDistrictList(list, "NoSuchDemoDSN", "", ""));
    EXPECT_TRUE(engine.Logged("District List Failed."));
    // A district of its own has the default name.
    ASSERT_TRUE(demo_->AlteredCopy("tsis", "TSISDemoOneDistrict", "DELETE FROM SY005 WHERE DST_NBR = 27;"));
    ASSERT_TRUE(engine->LoadSchoolDistrictList(list, "TSISDemoOneDistrict", "", "")) << engine.Dump();
    EXPECT_EQ(Entries(list), std::vector<std::string>({"16|Default District"}));
}

TEST_F(SqliteLists, SchoolListOfTheDistrict)
{
    RecordedEngine engine;
    EngineList list;
    ASSERT_TRUE(engine->LoadSchoolList(list, "TSISDemo", "", "", "16")) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("schools 16"));
    ASSERT_TRUE(engine->LoadSchoolList(list, "TSISDemo", "", "", "27")) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("schools 27"));
    EXPECT_TRUE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "27", "411"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemo", "", "", "16", "411"));
    EXPECT_FALSE(engine->LoadSchoolList(list, "TSISDemo", "", "", "99"));
    EXPECT_TRUE(engine.Logged("School List Returned 0 Schools."));
    EXPECT_FALSE(engine->LoadSchoolList(list, "NoSuchDemoDSN", "", "", "16"));
    EXPECT_FALSE(engine->LoadSchoolYearList(list, "16", "101", "NoSuchDemoDSN", "", ""));
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(engine.Logged("School List Failed."));
    EXPECT_TRUE(engine.Logged("Load School List Failed"));
}

TEST_F(SqliteLists, SchoolYearListsOfBothFlavours)
{
    RecordedEngine engine;
    EngineList list;
    ASSERT_TRUE(engine->LoadSchoolYearList(list, "16", "101", "TSISDemoSchmax", "", "")) << engine.Dump();
    EXPECT_STREQ(engine->Alias().Text(), "schmax");
    EXPECT_TRUE(engine.Logged("Setting alias to SchoolMAX"));
    EXPECT_TRUE(engine.Logged("Failed test for TSIS, setting alias to schmax"));
    EXPECT_EQ(Entries(list), Golden("schmax years"));

    // The same engine turns to TSIS for the other database.
    ASSERT_TRUE(engine->LoadSchoolYearList(list, "16", "101", "TSISDemo", "", ""));
    EXPECT_STREQ(engine->Alias().Text(), "tsis");
    EXPECT_EQ(Entries(list), Golden("tsis years"));
    EXPECT_FALSE(engine->LoadSchoolYearList(list, "16", "999", "TSISDemo", "", ""));
}

TEST_F(SqliteLists, TeacherListPutsStaffWithoutALastNameLast)
{
    RecordedEngine engine;
    EngineList list;
    ASSERT_TRUE(engine->LoadBridgeList(list, "teacher", TeacherParams("TSISDemo"))) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("teachers"));
    EXPECT_TRUE(engine.Logged("Found Teachers..."));
    EXPECT_TRUE(engine.Logged("Final School Year:2026"));
}

TEST_F(SqliteLists, TeacherListFromTheStaffTableAlone)
{
    ASSERT_TRUE(demo_->AlteredCopy("tsis", "TSISDemoNoSY035", "DROP VIEW DBTSIS_SY035_V; DROP TABLE SY035;"));
    RecordedEngine engine;
    EngineList list;
    ASSERT_TRUE(engine->LoadBridgeList(list, "teacher", TeacherParams("TSISDemoNoSY035"))) << engine.Dump();
    ASSERT_EQ(list.Count(), 32);
    EXPECT_STREQ(list.At(0).name.Text(), "Allen, Jack");
    EXPECT_STREQ(list.At(31).name.Text(), "Cher");
    EXPECT_TRUE(engine.LoggedContaining("FROM SY030 DEM  WHERE DEM.DST_NBR = 16 ORDER BY order1"));
}

TEST_F(SqliteLists, TeacherListRefusesOtherKeysAndMissingValues)
{
    RecordedEngine engine;
    EngineList list;
    EXPECT_FALSE(engine->LoadBridgeList(list, "school", TeacherParams("TSISDemo")));
    EXPECT_TRUE(engine.Logged("This bridge is not set up for this type of paramkey:  school"));

    ParamMap params = TeacherParams("TSISDemo");
    params["pwd"] = "";
    params["dsn"] = "";
    EXPECT_FALSE(engine->LoadBridgeList(list, "teacher", params));
    EXPECT_EQ(engine.Missing(), QStringList({"pwd\tpwd missing or blank."}));

    EXPECT_FALSE(engine->LoadBridgeList(list, "teacher", TeacherParams("NoSuchDemoDSN")));
    EXPECT_TRUE(engine.Logged("Teacher List Failed, unknown reason")) << engine.Dump();
}

// The same tests and lists through psqlODBC.
class PostgresLists : public DemoSuite<PostgresLists>
{
public:
    static DemoPlan Demo() { return {{"tsis", "schmax"}, true}; }

protected:
    QString Dsn() const override { return "TSISDemoPG"; }
};

TEST_F(PostgresLists, TestsAndListsAnswer)
{
    RecordedEngine engine;
    const QString role = QString::fromStdString(Env("TSIS_PG_USER", "tsis"));
    const XString user(role);
    EXPECT_TRUE(engine->ValidateConnection("TSISDemoPG", user, ""));
    EXPECT_TRUE(engine->ValidateDistrictAndSchoolNum("TSISDemoPG", user, "", "16", "202"));
    EXPECT_FALSE(engine->ValidateDistrictAndSchoolNum("TSISDemoPG", user, "", "16", "2' OR '1'='1"));

    EngineList list;
    ASSERT_TRUE(engine->LoadSchoolDistrictList(list, "TSISDemoPG", user, "")) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("districts"));
    ASSERT_TRUE(engine->LoadSchoolList(list, "TSISDemoPG", user, "", "16")) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("schools 16"));

    ParamMap teacher = TeacherParams("TSISDemoPG");
    teacher["user"] = role;
    teacher["pwd"] = "unused";
    ASSERT_TRUE(engine->LoadBridgeList(list, "teacher", teacher)) << engine.Dump();
    EXPECT_EQ(Entries(list), Golden("teachers"));

    ASSERT_TRUE(engine->LoadSchoolYearList(list, "16", "101", "TSISDemoSchmaxPG", user, "")) << engine.Dump();
    EXPECT_STREQ(engine->Alias().Text(), "schmax");
    EXPECT_EQ(Entries(list), Golden("schmax years"));
}

} // namespace
